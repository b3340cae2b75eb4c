#include "score/mark_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "score/score_songs.h"

namespace lirovox::score {
namespace {

// The marks that really meet [x0, x1), found by looking at every one.
std::vector<uint32_t> BruteForce(const std::vector<ScoreMark>& marks, int x0, int x1) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < marks.size(); ++i) {
        auto [lo, hi] = MarkExtent(marks[i]);
        if (hi >= x0 && lo < x1) out.push_back(static_cast<uint32_t>(i));
    }
    return out;
}

TEST(MarkIndex, FindsEveryMarkOfAPageInDrawingOrder) {
    std::vector<int> pitches;
    for (int i = 0; i < 800; ++i) pitches.push_back(55 + (i * 7) % 40);
    Song s = test::PlainSongOfPitches(pitches);
    s.HasWords = false;
    ScoreLayout layout = PutInScore(s, true);
    const MarkIndex index(layout.Marks);
    std::vector<uint32_t> got;
    for (int page = 0; page * kScorePageWidth < layout.Width + kScorePageWidth; ++page) {
        const int x0 = page * kScorePageWidth;
        index.Query(x0, x0 + kScorePageWidth, got);
        const std::vector<uint32_t> needed = BruteForce(layout.Marks, x0, x0 + kScorePageWidth);
        EXPECT_TRUE(std::is_sorted(got.begin(), got.end()));
        EXPECT_EQ(std::adjacent_find(got.begin(), got.end()), got.end()) << "a mark twice";
        EXPECT_TRUE(std::includes(got.begin(), got.end(), needed.begin(), needed.end()))
            << "page " << page;
        // Only marks near the page: the lookup does not grow with the song.
        EXPECT_LE(got.size(), needed.size() + 40) << "page " << page;
    }
}

TEST(MarkIndex, MarksLeftOfZeroAndLongSyllables) {
    std::vector<ScoreMark> marks(3);
    marks[0].X = -3;
    marks[0].Text = "|";
    marks[1].Font = MarkFont::Arial;
    marks[1].Size = 8;
    marks[1].X = 100;
    marks[1].Text = std::string(60, 'a');  // reaches far to the right
    marks[2].Kind = MarkKind::Line;
    marks[2].X = 900;
    marks[2].X2 = 880;
    const MarkIndex index(marks, 64);
    std::vector<uint32_t> got;
    index.Query(0, 40, got);
    EXPECT_EQ(got, (std::vector<uint32_t>{0}));
    index.Query(700, 800, got);
    EXPECT_EQ(got, (std::vector<uint32_t>{1}));
    index.Query(885, 890, got);
    EXPECT_EQ(got, (std::vector<uint32_t>{2}));
    index.Query(5000, 6000, got);
    EXPECT_TRUE(got.empty());
    MarkIndex empty;
    empty.Query(0, 100, got);
    EXPECT_TRUE(got.empty());
}

}  // namespace
}  // namespace lirovox::score
