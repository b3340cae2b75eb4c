#pragma once
// An index of the score's marks by x, so that painting one page looks only at the marks
// that can reach into it, whatever the length of the song.

#include <cstdint>
#include <utility>
#include <vector>

#include "score/layout.h"

namespace lirovox::score {

// The x range [first, last] that a mark can cover once drawn, generously estimated
// (glyphs stand a few pixels either side of their text position; syllables are at
// most 12 pixels per character at 8 points).
std::pair<int, int> MarkExtent(const ScoreMark& mark);

class MarkIndex {
public:
    MarkIndex() = default;
    explicit MarkIndex(const std::vector<ScoreMark>& marks, int bucketWidth = 64);

    // Indices of every mark whose extent meets [x0, x1) (and of a few near it),
    // ascending, that is in drawing order.
    void Query(int x0, int x1, std::vector<uint32_t>& out) const;

private:
    int bucketWidth_ = 64;
    int originX_ = 0;  // x of the left edge of bucket 0
    std::vector<std::vector<uint32_t>> buckets_;
};

}  // namespace lirovox::score
