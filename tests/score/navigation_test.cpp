#include "score/navigation.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace lirovox::score {
namespace {

ScoreNavState State(int curNote, int ubound = 9, int listCount = 10) {
    ScoreNavState s;
    s.Loaded = true;
    s.CurNote = curNote;
    s.Row2PickPos = 7;
    s.Row2FirstIndex = 5;
    s.Row2FirstNote = 4;
    s.NotesUBound = ubound;
    s.ListCount = listCount;
    return s;
}

TEST(ScoreKeys, MoveAndSelect) {
    struct Case {
        int curNote;
        int key;
        int listCount;
        int newCurNote;
        std::optional<int> select;
    };
    const Case cases[] = {
        {3, kKeyRight, 10, 4, 4},
        {9, kKeyRight, 10, 9, 9},   // stays on the last record and selects it again
        {3, kKeyLeft, 10, 2, 2},
        {0, kKeyLeft, 10, 0, 0},    // stays on record 0
        {-1, kKeyLeft, 10, 0, 0},   // after a press left of the first head
        {-1, kKeyRight, 10, 0, 0},
        {6, kKeyHome, 10, 0, 0},
        {2, kKeyEnd, 10, 9, 9},
        {2, kKeyEnd, 5, 9, std::nullopt},  // beyond the list: nothing is selected
        {8, kKeyRight, 9, 9, std::nullopt},
    };
    for (const Case& c : cases) {
        ScorePick p = PicScore_KeyDown(State(c.curNote, 9, c.listCount), c.key);
        EXPECT_TRUE(p.Handled);
        EXPECT_EQ(p.CurNote, c.newCurNote) << "key " << c.key << " from " << c.curNote;
        EXPECT_EQ(p.Select, c.select) << "key " << c.key << " from " << c.curNote;
    }
}

TEST(ScoreKeys, OtherKeysChangeNothingButTheRowTwoPick) {
    ScorePick p = PicScore_KeyDown(State(3), 65);
    EXPECT_TRUE(p.Handled);
    EXPECT_EQ(p.CurNote, 3);
    EXPECT_FALSE(p.Select.has_value());
    EXPECT_EQ(p.Row2PickPos, 0);  // 3 <= 5 + 18
}

TEST(ScoreKeys, RowTwoPickKeptBeyondAPageIntoRowTwo) {
    ScoreNavState s = State(24, 40, 41);  // 24 > 5 + 18
    ScorePick p = PicScore_KeyDown(s, kKeyRight);
    EXPECT_EQ(p.Row2PickPos, 7);
    EXPECT_EQ(p.CurNote, 25);
    s.CurNote = 23;  // 23 <= 23: cleared before the move
    EXPECT_EQ(PicScore_KeyDown(s, kKeyRight).Row2PickPos, 0);
}

TEST(ScoreKeys, IgnoredBeforeALoad) {
    ScoreNavState s = State(3);
    s.Loaded = false;
    ScorePick p = PicScore_KeyDown(s, kKeyRight);
    EXPECT_FALSE(p.Handled);
    EXPECT_FALSE(p.Select.has_value());
}

TEST(ScorePointer, RowOneAndRowTwo) {
    struct Case {
        double x, y;
        int listCount;
        int curNote;
        int row2PickPos;
        std::optional<int> select;
    };
    const Case cases[] = {
        {70, 40, 10, 1, 0, 1},                 // row 1, column 1
        {20, 40, 10, -1, 0, std::nullopt},     // left of the first head: -1, nothing
        {32, 120, 10, 0, 0, 0},                // y 120 still belongs to row 1
        {400, 60, 10, 11, 0, std::nullopt},    // beyond the list
        {70, 160, 10, 1, 5, 6},                // row 2, column 1: Row2FirstIndex + 1
        {10, 121, 10, -1, 3, 4},               // left of row 2's first head: row 1's last
        {300, 170, 10, 8, 12, std::nullopt},   // right of row 2's last record
    };
    for (const Case& c : cases) {
        ScorePick p = PicScore_MouseDown(State(3, 9, c.listCount), c.x, c.y);
        EXPECT_TRUE(p.Handled);
        EXPECT_EQ(p.CurNote, c.curNote) << c.x << "," << c.y;
        EXPECT_EQ(p.Row2PickPos, c.row2PickPos) << c.x << "," << c.y;
        EXPECT_EQ(p.Select, c.select) << c.x << "," << c.y;
    }
}

TEST(ScorePointer, IgnoredWithoutSongOrList) {
    ScoreNavState s = State(3, 9, 0);
    EXPECT_FALSE(PicScore_MouseDown(s, 70, 40).Handled);
    s = State(3);
    s.Loaded = false;
    EXPECT_FALSE(PicScore_MouseDown(s, 70, 40).Handled);
}

Song KaraokeSong() {
    Song s;
    s.HasWords = true;
    s.Notes.assign(4, NoteRec{});
    s.Notes[0].Note = 67;
    s.Notes[1].Note = 0;  // a syllable without a note
    s.Notes[2].Note = 69;
    s.LyricLines = {"Fra Martino", "campanaro", "dormi tu"};
    s.LyricRecs.assign(4, LyricRec{});
    s.LyricRecs[0] = {0, "Fra ", 4, 0, 0, 0};
    s.LyricRecs[1] = {0, "Mar", 3, 4, 0, 0};
    s.LyricRecs[2] = {0, "tino", 4, 7, 0, 0};
    s.LyricRecs[3] = {0, "dor", 3, 0, 2, 0};
    return s;
}

std::string Describe(const KaraokeRow& row) {
    std::string out;
    for (const KaraokeRun& r : row.Runs) out += (r.Highlight ? "[" + r.Text + "]" : r.Text);
    return out;
}

TEST(AggiornaScore, PreviewAndKaraokeLine) {
    Song s = KaraokeSong();
    ScoreRefresh r = AggiornaScore(s, 1);
    EXPECT_FALSE(r.PreviewNote.has_value());  // Note 0 sounds nothing
    ASSERT_TRUE(r.Karaoke.has_value());
    ASSERT_EQ(r.Karaoke->Rows.size(), 3u);
    EXPECT_EQ(Describe(r.Karaoke->Rows[0]), "Fra [Mar]tino");
    EXPECT_EQ(r.Karaoke->Rows[0].Y, 0);
    EXPECT_FALSE(r.Karaoke->Rows[0].FollowsPrevious);
    EXPECT_EQ(Describe(r.Karaoke->Rows[1]), "campanaro");
    EXPECT_TRUE(r.Karaoke->Rows[1].FollowsPrevious);
    EXPECT_EQ(r.Karaoke->Rows[1].Gap, 2);
    EXPECT_EQ(Describe(r.Karaoke->Rows[2]), "dormi tu");
    EXPECT_TRUE(r.Karaoke->Rows[2].FollowsPrevious);

    r = AggiornaScore(s, 0);
    EXPECT_EQ(r.PreviewNote, 67);
    EXPECT_EQ(Describe(r.Karaoke->Rows[0]), "[Fra ]Martino");

    // The last line of the text shows alone.
    r = AggiornaScore(s, 3);
    EXPECT_FALSE(r.PreviewNote.has_value());
    ASSERT_EQ(r.Karaoke->Rows.size(), 1u);
    EXPECT_EQ(Describe(r.Karaoke->Rows[0]), "[dor]mi tu");
}

TEST(AggiornaScore, OutsideTheTablesOrWithoutWords) {
    Song s = KaraokeSong();
    ScoreRefresh r = AggiornaScore(s, -1);
    EXPECT_FALSE(r.PreviewNote.has_value());
    EXPECT_FALSE(r.Karaoke.has_value());
    r = AggiornaScore(s, 4);
    EXPECT_FALSE(r.PreviewNote.has_value());
    EXPECT_FALSE(r.Karaoke.has_value());

    s.HasWords = false;
    r = AggiornaScore(s, 2);
    EXPECT_EQ(r.PreviewNote, 69);
    EXPECT_FALSE(r.Karaoke.has_value());  // the karaoke view keeps what it shows
}

TEST(AggiornaScore, SyllableThatDoesNotMatchItsLineStaysInBounds) {
    Song s = KaraokeSong();
    s.LyricRecs[2] = {0, "tinissimo", 9, 7, 0, 0};  // runs past the end of its line
    ScoreRefresh r = AggiornaScore(s, 2);
    EXPECT_EQ(Describe(r.Karaoke->Rows[0]), "Fra Mar[tinissimo]");
    s.LyricRecs[2] = {0, "x", 1, 40, 7, 0};  // position and line out of range
    r = AggiornaScore(s, 2);
    ASSERT_TRUE(r.Karaoke.has_value());
    EXPECT_EQ(Describe(r.Karaoke->Rows[0]), "[x]");
}

}  // namespace
}  // namespace lirovox::score
