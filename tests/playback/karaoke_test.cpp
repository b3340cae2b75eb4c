// The karaoke frames of a due entry and after a stop.

#include <gtest/gtest.h>

#include "playback/karaoke.h"
#include "playback_fixture.h"

namespace lirovox::playback::test {
namespace {

// "lit|plain" for row 0, then the texts of the other rows with their y.
std::vector<std::string> Describe(const KaraokeFrame& f) {
    std::vector<std::string> out;
    for (const KaraokeRow& row : f.Rows) {
        std::string s = std::to_string(row.Y) + ":";
        for (const KaraokeRun& run : row.Runs) s += (run.Highlight ? "[" + run.Text + "]" : run.Text) + "|";
        out.push_back(s);
    }
    return out;
}

TEST(KaraokeFrames, DueEntryLightsTheLineUpToItsSyllable) {
    Song song = MakeHandSong();
    using V = std::vector<std::string>;
    struct Case {
        int index;
        V rows;
    };
    const Case cases[] = {
        {0, V{"0:[Fra ]|Marti no|", "24:dor|", "48:ding dang dong|"}},
        {2, V{"0:[Fra Marti ]|no|", "24:dor|", "48:ding dang dong|"}},
        {3, V{"0:[Fra Marti no]||", "24:dor|", "48:ding dang dong|"}},
        // The line break moves on to line 1, wholly unlit.
        {4, V{"0:[]|dor|", "24:ding dang dong|"}},
        // The last line shows alone.
        {5, V{"0:[dor]||", "24:ding dang dong|"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Describe(DueEntryFrame(song, c.index)), c.rows) << c.index;
    EXPECT_TRUE(DueEntryFrame(song, 6).Rows.empty());
    EXPECT_TRUE(DueEntryFrame(song, -1).Rows.empty());
}

TEST(KaraokeFrames, EmptySyllableKeepsTheLitPartAndBadPositionsDoNotOverrun) {
    Song song = MakeHandSong();
    LyricRec empty;
    empty.CharPos = 4;  // after "Fra "
    empty.Line = 0;
    song.LyricRecs.push_back(empty);
    EXPECT_EQ(Describe(DueEntryFrame(song, 6))[0], "0:[Fra ]|Marti no|");

    LyricRec wild;
    wild.Text = "xyz";
    wild.Length = 3;
    wild.CharPos = 40;  // beyond its line
    wild.Line = 9;      // no such line
    song.LyricRecs.push_back(wild);
    EXPECT_EQ(Describe(DueEntryFrame(song, 7)), (std::vector<std::string>{"0:[xyz]||"}));
}

TEST(KaraokeFrames, StopShowsTheFirstLinesOnlyWhenTheSongHasWords) {
    Song song = MakeHandSong();
    EXPECT_EQ(Describe(StopFrame(song)), (std::vector<std::string>{"0:Fra Marti no|", "24:dor|", "48:ding dang dong|"}));
    song.LyricLines = {"", "second", "third", "fourth"};
    EXPECT_EQ(Describe(StopFrame(song)), (std::vector<std::string>{"24:second|", "48:third|"}));
    song.HasWords = false;
    EXPECT_TRUE(StopFrame(song).Rows.empty());
}

}  // namespace
}  // namespace lirovox::playback::test
