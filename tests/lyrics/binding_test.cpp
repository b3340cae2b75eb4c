#include "lyrics/binding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "score/merge.h"

namespace lirovox::lyrics {
namespace {

// A loaded song with `notes` melody notes, one per quarter (96 ticks), 5 ms per tick, and
// the header figures a load gives (no lyrics in the file).
Song SongWithNotes(int notes) {
    Song s;
    s.Division = 96;
    s.MsPerTick = 5;
    s.MelodyNotes.assign(static_cast<size_t>(std::max(notes, 1)), NoteRec{});
    for (int i = 0; i < notes; ++i) {
        NoteRec& n = s.MelodyNotes[static_cast<size_t>(i)];
        n.Tick = 96.0 * (i + 1);
        n.Time = n.Tick * 5;
        n.Note = static_cast<int16_t>(60 + i);
    }
    s.Notes = s.MelodyNotes;
    s.NoteCount = notes;
    return s;
}

std::vector<std::string> Texts(const std::vector<NoteRec>& table) {
    std::vector<std::string> out;
    for (const NoteRec& r : table) out.push_back(r.Text);
    return out;
}

TEST(BindSyllablesTest, AmoreExample) {
    Song s = SongWithNotes(3);
    s.List1 = {"a", "mo", "re ", "---"};
    s.HyphenCount = 3;
    s.LineCount = 1;
    ASSERT_TRUE(BindSyllables(s));

    EXPECT_EQ(Texts(s.LyricEvents), (std::vector<std::string>{"a", "mo", "re ", "\r"}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s.LyricEvents[i].Tick, s.MelodyNotes[i].Tick);
        EXPECT_EQ(s.LyricEvents[i].Time, s.MelodyNotes[i].Time);
        EXPECT_EQ(s.LyricEvents[i].Mark, 0);
    }
    EXPECT_EQ(s.LyricEvents[3].Mark, 13.0);
    EXPECT_EQ(s.LyricEvents[3].Tick, s.MelodyNotes[2].Tick);
    EXPECT_EQ(s.LyricEvents[3].Time, s.MelodyNotes[2].Time);

    ASSERT_EQ(s.LyricLines.size(), 2u);
    EXPECT_EQ(s.LyricLines[0], "amore ");
    EXPECT_EQ(s.LyricLines[1], "");
    ASSERT_EQ(s.LyricRecs.size(), 4u);
    EXPECT_EQ(s.LyricRecs[1].CharPos, 1);
    EXPECT_EQ(s.LyricRecs[2].CharPos, 3);
    EXPECT_EQ(s.LyricRecs[2].Length, 3);
    EXPECT_EQ(s.LyricRecs[3].Line, 1);
    EXPECT_EQ(s.LyricRecs[3].Length, 0);

    EXPECT_TRUE(s.HasWords);
    EXPECT_EQ(s.HyphenCount, 3);  // entries - line marks
    EXPECT_EQ(s.LineCount, 1);
}

// The walk's extent comes from the header figures: A = notes - 1 + lines,
// B = hyphens - 1 + lines; UBound(MelodyNotes) when B > A, else A.
TEST(BindSyllablesTest, WalkExtentFromHeaderFigures) {
    struct Case {
        const char* name;
        int notes;
        std::vector<std::string> list;
        int hyphens;
        int lines;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        // Fewer syllables than notes: the walk goes on past the list's end and binds
        // empty syllables to the remaining notes.
        {"past the end", 3, {"la "}, 0, 0, {"la ", "", ""}},
        // More syllables than notes: the walk stops at UBound(MelodyNotes).
        {"more syllables", 2, {"a", "b", "c", "d", "e"}, 5, 0, {"a", "b"}},
        // The same stop counts line marks as entries, so they shorten the walk.
        {"mark within the stop", 2, {"a", "---", "b", "c"}, 3, 1, {"a", "\r"}},
        // As many syllables as notes: one entry per note plus one per line mark.
        {"exact", 2, {"ciao ", "---", "bel", "---"}, 2, 2, {"ciao ", "\r", "bel", "\r"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Song s = SongWithNotes(c.notes);
        s.List1 = c.list;
        s.HyphenCount = c.hyphens;
        s.LineCount = c.lines;
        ASSERT_TRUE(BindSyllables(s));
        EXPECT_EQ(Texts(s.LyricEvents), c.events);
        EXPECT_EQ(s.LyricRecs.size(), c.events.size());
    }
}

TEST(BindSyllablesTest, LineMarksTakeTimesAndRestartPositions) {
    Song s = SongWithNotes(3);
    s.List1 = {"ciao ", "---", "x---y", "bel", "la ", "---"};
    s.HyphenCount = 3;
    s.LineCount = 2;  // A = 2 + 2 = 4, B = 2 + 2 = 4: indices 0..4
    ASSERT_TRUE(BindSyllables(s));
    ASSERT_EQ(s.LyricEvents.size(), 5u);
    // An entry containing "---" anywhere is a line mark.
    EXPECT_EQ(s.LyricEvents[2].Text, "\r");
    // Marks copy the time of the event before them...
    EXPECT_EQ(s.LyricEvents[1].Tick, s.MelodyNotes[0].Tick);
    EXPECT_EQ(s.LyricEvents[2].Tick, s.MelodyNotes[0].Tick);
    // ...and only the mark right before a syllable takes that syllable's time.
    EXPECT_EQ(s.LyricRecs[1].Time, s.MelodyNotes[0].Time);
    EXPECT_EQ(s.LyricRecs[2].Time, s.MelodyNotes[1].Time);
    EXPECT_EQ(s.LyricEvents[3].Tick, s.MelodyNotes[1].Tick);
    EXPECT_EQ(s.LyricRecs[4].CharPos, 3);
    EXPECT_EQ(s.LyricRecs[4].Line, 2);
    EXPECT_EQ(s.LyricLines, (std::vector<std::string>{"ciao ", "", "bella "}));
    // The figures now say what the panel shows: 6 entries less 2 marks processed.
    EXPECT_EQ(s.HyphenCount, 4);
    EXPECT_EQ(s.LineCount, 2);
}

TEST(BindSyllablesTest, SyllablesPastTheMelodyGetTimeZero) {
    Song s = SongWithNotes(1);
    s.List1 = {"a", "b"};
    s.HyphenCount = 1;
    s.LineCount = 0;  // A = 0, B = 0: only index 0
    ASSERT_TRUE(BindSyllables(s));
    EXPECT_EQ(Texts(s.LyricEvents), (std::vector<std::string>{"a"}));
    s.HyphenCount = 1;  // the binding set it to 2
    s.LineCount = 1;    // A = 1, B = 1 now: index 1 has no note left
    ASSERT_TRUE(BindSyllables(s));
    ASSERT_EQ(s.LyricEvents.size(), 2u);
    EXPECT_EQ(s.LyricEvents[1].Text, "b");
    EXPECT_EQ(s.LyricEvents[1].Tick, 0);
    EXPECT_EQ(s.LyricEvents[1].Time, 0);
}

TEST(BindSyllablesTest, EmptyListChangesNothing) {
    Song s = SongWithNotes(2);
    s.LyricEvents[0].Text = "keep";
    EXPECT_FALSE(BindSyllables(s));
    EXPECT_EQ(s.LyricEvents[0].Text, "keep");
    EXPECT_FALSE(s.HasWords);
}

TEST(BindSyllablesTest, OneNoteSongKeepsItsSyllableThroughTheMerge) {
    Song s = SongWithNotes(1);
    s.List1 = {"oh "};
    s.HyphenCount = 0;
    s.LineCount = 0;
    ASSERT_TRUE(BindSyllables(s));
    score::Merge(s);
    ASSERT_EQ(s.Notes.size(), 1u);
    EXPECT_EQ(s.Notes[0].Text, "oh ");
    EXPECT_EQ(s.Notes[0].Tick, 96);
}

TEST(BindSyllablesTest, BoundAndMergedNotesCarryTheirSyllables) {
    Song s = SongWithNotes(4);
    s.List1 = {"can", "zo", "ne ", "---", "mia "};
    s.HyphenCount = 3;
    s.LineCount = 1;
    ASSERT_TRUE(BindSyllables(s));
    score::Merge(s);
    // The line mark carries the tick of "ne " and stands alone before note 3.
    EXPECT_EQ(Texts(s.Notes), (std::vector<std::string>{"can", "zo", "ne ", "\r", "mia "}));
    EXPECT_EQ(s.Notes[3].Note, 0);
    EXPECT_EQ(s.Notes[4].Tick, s.MelodyNotes[3].Tick);
}

TEST(AggiornaLyrTest, RebuildsLinesFromNotesFromTheCurrentNote) {
    Song s;
    s.Notes.assign(5, NoteRec{});
    const char* texts[] = {"a", "mo", "re ", "\r", "si "};
    for (int k = 0; k < 5; ++k) {
        s.Notes[k].Text = texts[k];
        s.Notes[k].Time = 100.0 * k;
    }
    AggiornaLyr(s, 0);
    EXPECT_EQ(s.LyricLines, (std::vector<std::string>{"amore ", "si "}));
    ASSERT_EQ(s.LyricRecs.size(), 5u);
    EXPECT_EQ(s.LyricRecs[2].CharPos, 3);
    EXPECT_EQ(s.LyricRecs[3].Line, 1);
    EXPECT_EQ(s.LyricRecs[3].Time, 300);
    EXPECT_EQ(s.LyricRecs[3].Text, "");
    EXPECT_EQ(s.LyricRecs[4].CharPos, 0);

    AggiornaLyr(s, 2);
    EXPECT_EQ(s.LyricLines, (std::vector<std::string>{"re ", "si "}));
    ASSERT_EQ(s.LyricRecs.size(), 5u);
    EXPECT_EQ(s.LyricRecs[0].Text, "");
    EXPECT_EQ(s.LyricRecs[1].Time, 0);
    EXPECT_EQ(s.LyricRecs[2].CharPos, 0);

    AggiornaLyr(s, 9);  // past the table: everything empty
    EXPECT_EQ(s.LyricRecs.size(), 1u);
    EXPECT_EQ(s.LyricLines, (std::vector<std::string>{""}));
}

TEST(ImportBindingTest, ReadyBindsAndSynchronizeSplitsAgain) {
    Song s = SongWithNotes(2);
    ASSERT_TRUE(ReadyTXT(s, "ciao \r\n---\r\n", true));
    // Entries "ciao ", "---", "" (the last, empty piece); A = 1 + 1, B = 0 + 1.
    EXPECT_EQ(s.List1, (std::vector<std::string>{"ciao ", "---", ""}));
    EXPECT_EQ(Texts(s.LyricEvents), (std::vector<std::string>{"ciao ", "\r", ""}));
    EXPECT_EQ(s.LyricEvents[2].Tick, s.MelodyNotes[1].Tick);
    EXPECT_EQ(s.HyphenCount, 2);
    EXPECT_EQ(s.LineCount, 1);

    Song t = SongWithNotes(4);
    EXPECT_FALSE(SynchronizeTXT(t, "ciao bella\r\n", false, false));  // no song loaded yet
    EXPECT_FALSE(t.HasWords);
    EXPECT_FALSE(t.List1.empty());
    ASSERT_TRUE(SynchronizeTXT(t, "ciao bella\r\n", false, true));
    EXPECT_TRUE(t.HasWords);
    EXPECT_EQ(t.LyricLines[0], "ciao bella ");
}

TEST(ImportBindingTest, HasSyllables) {
    EXPECT_FALSE(HasSyllables({}));
    EXPECT_FALSE(HasSyllables({"", "---", ""}));
    EXPECT_TRUE(HasSyllables({"", " "}));
}

}  // namespace
}  // namespace lirovox::lyrics
