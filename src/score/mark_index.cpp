#include "score/mark_index.h"

#include <algorithm>
#include <limits>

namespace lirovox::score {

std::pair<int, int> MarkExtent(const ScoreMark& mark) {
    if (mark.Kind == MarkKind::Line) {
        return {std::min(mark.X, mark.X2) - 2, std::max(mark.X, mark.X2) + 2};
    }
    const int len = static_cast<int>(mark.Text.size());
    if (mark.Font == MarkFont::Arial) return {mark.X - 2, mark.X + 2 + 12 * len};
    if (mark.Size != 16) return {mark.X - 4, mark.X + 4 + 12 * len};  // bar numbers
    return {mark.X - 12, mark.X + 24};  // glyphs
}

MarkIndex::MarkIndex(const std::vector<ScoreMark>& marks, int bucketWidth)
    : bucketWidth_(std::max(1, bucketWidth)) {
    if (marks.empty()) return;
    int lo = std::numeric_limits<int>::max();
    int hi = std::numeric_limits<int>::min();
    std::vector<std::pair<int, int>> extents;
    extents.reserve(marks.size());
    for (const ScoreMark& m : marks) {
        extents.push_back(MarkExtent(m));
        lo = std::min(lo, extents.back().first);
        hi = std::max(hi, extents.back().second);
    }
    originX_ = lo;
    const int64_t count = (static_cast<int64_t>(hi) - lo) / bucketWidth_ + 1;
    buckets_.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < extents.size(); ++i) {
        const int64_t b0 = (static_cast<int64_t>(extents[i].first) - originX_) / bucketWidth_;
        const int64_t b1 = (static_cast<int64_t>(extents[i].second) - originX_) / bucketWidth_;
        for (int64_t b = b0; b <= b1; ++b) buckets_[static_cast<size_t>(b)].push_back(static_cast<uint32_t>(i));
    }
}

void MarkIndex::Query(int x0, int x1, std::vector<uint32_t>& out) const {
    out.clear();
    if (buckets_.empty() || x1 <= x0) return;
    const int64_t last = static_cast<int64_t>(buckets_.size()) - 1;
    int64_t b0 = (static_cast<int64_t>(x0) - originX_);
    int64_t b1 = (static_cast<int64_t>(x1) - 1 - originX_);
    if (b1 < 0) return;
    b0 = b0 < 0 ? 0 : b0 / bucketWidth_;
    b1 = std::min(last, b1 / bucketWidth_);
    if (b0 > last) return;
    for (int64_t b = b0; b <= b1; ++b) {
        const auto& bucket = buckets_[static_cast<size_t>(b)];
        out.insert(out.end(), bucket.begin(), bucket.end());
    }
    if (b1 > b0) {
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    }
}

}  // namespace lirovox::score
