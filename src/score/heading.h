#pragma once
// The staff heading `Pic2` beside the score: a treble clef and the time signature at the
// head of each of the two staves.

#include <string>
#include <vector>

#include "smf/song.h"

namespace lirovox::score {

// One item printed on `Pic2` in its music-symbol font: "&" is the treble clef, numbers
// are plain decimal text. (X, Y) is the top-left corner of the item's text cell.
struct HeadingItem {
    std::string Text;
    int X = 0;
    int Y = 0;
};

// The heading of both staves, in printing order: upper clef, numerator, denominator,
// then the same for the lower staff 112 pixels further down. Reads only the time
// signature.
std::vector<HeadingItem> Intestazione(const Song& song);

}  // namespace lirovox::score
