#include "score/merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lirovox::score {
namespace {

NoteRec Melody(double tick, int note) {
    NoteRec r;
    r.Tick = tick;
    r.Time = tick * 2;  // distinct from Tick so the copied field can be told apart
    r.Note = static_cast<int16_t>(note);
    return r;
}

NoteRec Lyric(double tick, const std::string& text) {
    NoteRec r;
    r.Tick = tick;
    r.Time = tick * 2 + 1;
    r.Text = text;
    if (text == "\r") r.Mark = 13.0;
    return r;
}

Song MakeSong(int division, std::vector<NoteRec> melody, std::vector<NoteRec> lyrics) {
    Song s;
    s.Division = division;
    s.MelodyNotes = std::move(melody);
    s.LyricEvents = std::move(lyrics);
    return s;
}

TEST(SixteenthTicksTest, RoundsHalvesToEven) {
    Song s;
    s.Division = 96;
    EXPECT_EQ(SixteenthTicks(s), 24);
    s.Division = 10;  // 2.5
    EXPECT_EQ(SixteenthTicks(s), 2);
    s.Division = 14;  // 3.5
    EXPECT_EQ(SixteenthTicks(s), 4);
}

// One melody note at tick 100 followed by a second note far away; the first lyric event
// sits at 100 + offset. The binding window is one sixteenth (24 ticks) on both sides.
TEST(MergeTest, BindingWindowIsOneSixteenthOnBothSides) {
    struct Case {
        double offset;  // lyric tick - note tick
        bool binds;
    };
    for (Case c : {Case{0, true}, Case{24, true}, Case{-24, true}, Case{25, false},
                   Case{-25, false}, Case{23.5, true}}) {
        SCOPED_TRACE(c.offset);
        Song s = MakeSong(96, {Melody(100, 60), Melody(1000, 62)},
                          {Lyric(100 + c.offset, "la"), Lyric(1000, "end")});
        Merge(s);
        if (c.binds) {
            ASSERT_EQ(s.Notes.size(), 2u);
            EXPECT_EQ(s.Notes[0].Note, 60);
            EXPECT_EQ(s.Notes[0].Tick, 100);
            EXPECT_EQ(s.Notes[0].Time, 200);
            EXPECT_EQ(s.Notes[0].Text, "la");
        } else if (c.offset > 0) {
            // The note comes first and carries "__"; the syllable then stands alone.
            ASSERT_EQ(s.Notes.size(), 3u);
            EXPECT_EQ(s.Notes[0].Text, "__");
            EXPECT_EQ(s.Notes[0].Note, 60);
            EXPECT_EQ(s.Notes[1].Text, "la");
            EXPECT_EQ(s.Notes[1].Note, 0);
            EXPECT_EQ(s.Notes[1].Tick, 100 + c.offset);
            EXPECT_EQ(s.Notes[1].Time, (100 + c.offset) * 2 + 1);
        } else {
            // The syllable comes more than a sixteenth early: its own column with Note
            // 0. The last lyric event then ends the table, so the note is not carried.
            ASSERT_EQ(s.Notes.size(), 2u);
            EXPECT_EQ(s.Notes[0].Text, "la");
            EXPECT_EQ(s.Notes[0].Note, 0);
            EXPECT_EQ(s.Notes[1].Text, "end");
        }
        // The last lyric event is always the last record, copied whole.
        EXPECT_EQ(s.Notes.back().Text, "end");
        EXPECT_EQ(s.Notes.back().Note, 0);
        EXPECT_EQ(s.Notes.back().Time, 2001);
    }
}

TEST(MergeTest, LineBreakKeepsItsMarkAndMelodyAfterLastEventIsDropped) {
    Song s = MakeSong(96, {Melody(0, 60), Melody(96, 62), Melody(192, 64), Melody(288, 65)},
                      {Lyric(0, "a"), Lyric(96, "mo"), Lyric(96, "\r"), Lyric(192, "re ")});
    Merge(s);
    // "a" binds note 0, "mo" note 1; the line break at 96 is more than a sixteenth before
    // note 2 (192), so it stands alone; the last event "re " is copied and ends the table.
    ASSERT_EQ(s.Notes.size(), 4u);
    EXPECT_EQ(s.Notes[0].Text, "a");
    EXPECT_EQ(s.Notes[1].Text, "mo");
    EXPECT_EQ(s.Notes[2].Text, "\r");
    EXPECT_EQ(s.Notes[2].Mark, 13.0);
    EXPECT_EQ(s.Notes[2].Note, 0);
    EXPECT_EQ(s.Notes[3].Text, "re ");
    EXPECT_EQ(s.Notes[3].Tick, 192);
}

TEST(MergeTest, LyricEventsLeftAfterMelodyEndsAreKept) {
    // A line mark within a sixteenth of the next note takes that note, so the last
    // syllables find the melody already used up.
    Song s = MakeSong(96, {Melody(0, 60), Melody(96, 62)},
                      {Lyric(0, "ciao "), Lyric(96, "\r"), Lyric(96, "bel"), Lyric(96, "la ")});
    Merge(s);
    ASSERT_EQ(s.Notes.size(), 4u);
    EXPECT_EQ(s.Notes[0].Text, "ciao ");
    EXPECT_EQ(s.Notes[0].Note, 60);
    EXPECT_EQ(s.Notes[1].Text, "\r");
    EXPECT_EQ(s.Notes[1].Note, 62);
    EXPECT_EQ(s.Notes[2].Text, "bel");
    EXPECT_EQ(s.Notes[2].Note, 0);
    EXPECT_EQ(s.Notes[2].Tick, 96);
    EXPECT_EQ(s.Notes[3].Text, "la ");
}

TEST(MergeTest, SingleLyricEventAndSingleNote) {
    Song s = MakeSong(480, {Melody(0, 60)}, {Lyric(0, "oh")});
    Merge(s);
    ASSERT_EQ(s.Notes.size(), 1u);
    EXPECT_EQ(s.Notes[0].Text, "oh");
    EXPECT_EQ(s.Notes[0].Tick, 0);
}

TEST(MergeTest, IsRepeatableAndIgnoresFormerNotes) {
    Song s = MakeSong(96, {Melody(0, 60), Melody(96, 62), Melody(192, 64)},
                      {Lyric(0, "a"), Lyric(96, "b"), Lyric(192, "c")});
    s.Notes.assign(10, Melody(5, 1));
    Merge(s);
    std::vector<NoteRec> first = s.Notes;
    Merge(s);
    ASSERT_EQ(s.Notes.size(), first.size());
    ASSERT_EQ(s.Notes.size(), 3u);
    for (size_t k = 0; k < first.size(); ++k) EXPECT_EQ(s.Notes[k].Text, first[k].Text);
    EXPECT_EQ(s.Notes[2].Text, "c");
}

}  // namespace
}  // namespace lirovox::score
