#pragma once
// Rounding rules shared by every part of the program.

#include <cmath>
#include <cstdint>

namespace lirovox {

// "To the nearest whole number": halves go to the even number (2.5 -> 2, 3.5 -> 4).
inline double RoundHalfEven(double v) {
    double r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
    return r;
}

// To the nearest whole number, halves away from zero (2.5 -> 3).
inline double RoundHalfUp(double v) { return std::round(v); }

// The whole part, rounding down (as Int() of a negative number does: Int(-1.5) = -2).
inline double IntPart(double v) { return std::floor(v); }

}  // namespace lirovox
