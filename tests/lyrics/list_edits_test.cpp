#include "lyrics/list_edits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lyrics/binding.h"

namespace lirovox::lyrics {
namespace {

using List = std::vector<std::string>;

// A loaded song of `notes` notes whose list was just read by "Ready" and bound.
Song BoundSong(int notes, const List& list) {
    Song s;
    s.Division = 96;
    s.MelodyNotes.assign(static_cast<size_t>(notes), NoteRec{});
    for (int i = 0; i < notes; ++i) {
        s.MelodyNotes[static_cast<size_t>(i)].Tick = 96.0 * i;
        s.MelodyNotes[static_cast<size_t>(i)].Time = 500.0 * i;
        s.MelodyNotes[static_cast<size_t>(i)].Note = static_cast<int16_t>(60 + i);
    }
    s.Notes = s.MelodyNotes;
    s.NoteCount = notes;
    s.List1 = list;
    int marks = 0;
    for (const std::string& e : list) marks += e == "---";
    s.LineCount = marks;
    s.HyphenCount = static_cast<int>(list.size()) - marks;
    EXPECT_TRUE(BindSyllables(s));
    return s;
}

List EventTexts(const Song& s) {
    List out;
    for (const NoteRec& r : s.LyricEvents) out.push_back(r.Text);
    return out;
}

TEST(ListEditsTest, DeleteSelectsTheEntryNowAtThatIndexAndRebinds) {
    Song s = BoundSong(3, {"a", "x", "mo", "re "});
    ListEditResult r = DeleteEntry(s, true, 1);
    EXPECT_EQ(s.List1, (List{"a", "mo", "re "}));
    EXPECT_TRUE(r.Changed);
    EXPECT_EQ(r.Selection, 1);
    EXPECT_TRUE(r.Redraw);
    EXPECT_FALSE(r.RefreshScore);
    EXPECT_EQ(EventTexts(s), (List{"a", "mo", "re "}));

    r = DeleteEntry(s, true, 2);  // the last entry: no selection afterwards
    EXPECT_EQ(s.List1, (List{"a", "mo"}));
    EXPECT_EQ(r.Selection, -1);

    r = DeleteEntry(s, true, -1);  // nothing selected
    EXPECT_FALSE(r.Changed);
    EXPECT_FALSE(r.Redraw);
    EXPECT_EQ(s.List1.size(), 2u);
}

TEST(ListEditsTest, InsertAndLineMarkGoRightAfterTheSelection) {
    struct Case {
        const char* name;
        ListEditResult (*op)(Song&, bool, int);
        std::string inserted;
    };
    for (const Case& c : {Case{"Insert", &InsertEmptyEntry, ""}, Case{"F7", &InsertLineMark, "---"}}) {
        SCOPED_TRACE(c.name);
        Song s = BoundSong(4, {"ciao ", "bel", "la "});
        ListEditResult r = c.op(s, true, 0);
        EXPECT_EQ(s.List1, (List{"ciao ", c.inserted, "bel", "la "}));
        EXPECT_EQ(r.Selection, 1);
        EXPECT_TRUE(r.Changed);
        EXPECT_TRUE(r.Redraw);
        EXPECT_TRUE(r.RefreshScore);
        EXPECT_EQ(EventTexts(s)[1], c.inserted.empty() ? "" : "\r");
        EXPECT_TRUE(s.HasWords);

        // Nothing selected: only the score refresh.
        r = c.op(s, true, -1);
        EXPECT_FALSE(r.Changed);
        EXPECT_FALSE(r.Redraw);
        EXPECT_TRUE(r.RefreshScore);
        EXPECT_EQ(s.List1.size(), 4u);
    }
}

TEST(ListEditsTest, InsertShiftsTheFollowingSyllablesToTheNextNotes) {
    Song s = BoundSong(3, {"a", "mo", "re "});
    InsertEmptyEntry(s, true, 0);
    // "mo" now sits on note 2.
    EXPECT_EQ(s.LyricEvents[2].Text, "mo");
    EXPECT_EQ(s.LyricEvents[2].Tick, 192);
}

TEST(ListEditsTest, BackspaceJoinsWithThePreviousEntryOrOnlyRebinds) {
    struct Case {
        const char* name;
        List list;
        int selected;
        List after;
        int selection;
    };
    const Case cases[] = {
        {"join", {"a", "mo", "re "}, 1, {"amo", "re "}, 0},
        {"first entry", {"a", "mo", "re "}, 0, {"a", "mo", "re "}, 0},
        {"after a line mark", {"a ", "---", "mo"}, 2, {"a ", "---", "mo"}, 2},
        {"nothing selected", {"a", "mo"}, -1, {"a", "mo"}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Song s = BoundSong(3, c.list);
        s.LyricEvents.assign(1, NoteRec{});  // shows whether the binding ran again
        ListEditResult r = JoinWithPrevious(s, true, c.selected);
        EXPECT_EQ(s.List1, c.after);
        EXPECT_EQ(r.Selection, c.selection);
        EXPECT_TRUE(r.Redraw);
        EXPECT_TRUE(r.RefreshScore);
        EXPECT_EQ(s.LyricEvents[0].Text, c.after[0]);
    }
}

TEST(ListEditsTest, NoRebindingWithoutALoadedSong) {
    Song s = BoundSong(3, {"a", "mo", "re "});
    s.LyricEvents.assign(1, NoteRec{});
    EXPECT_FALSE(DeleteEntry(s, false, 0).Redraw);
    EXPECT_FALSE(InsertLineMark(s, false, 0).Redraw);
    EXPECT_FALSE(JoinWithPrevious(s, false, 1).Redraw);
    EXPECT_EQ(s.LyricEvents[0].Text, "");
    EXPECT_EQ(s.List1, (List{"mo---", "re "}));  // "mo" + "---" joined: edits still apply
}

TEST(ListEditsTest, EditorOpensOverSyllablesOnly) {
    Song s = BoundSong(3, {"a", "---", "", "re "});
    InPlaceEditor ed;
    EXPECT_FALSE(CanOpenEditor(s, ed, 1));   // a line mark
    EXPECT_FALSE(CanOpenEditor(s, ed, -1));  // nothing selected
    EXPECT_FALSE(CanOpenEditor(s, ed, 4));
    EXPECT_TRUE(CanOpenEditor(s, ed, 3));

    EXPECT_EQ(OpenEditor(s, ed, 3), "re ");
    EXPECT_TRUE(ed.Open);
    EXPECT_EQ(ed.Index, 3);
    EXPECT_EQ(s.List1[3], "");  // blanked while the editor is open
    EXPECT_FALSE(CanOpenEditor(s, ed, 0));  // already open
    EXPECT_EQ(OpenEditor(s, ed, 0), "");
    EXPECT_EQ(ed.Index, 3);
}

TEST(ListEditsTest, EditorEscapeRestoresTheEntryExactly) {
    struct Case {
        std::string entry;
        std::string restored;
    };
    for (const Case& c : {Case{"re ", "re "}, Case{"", " "}, Case{"mo", "mo"}}) {
        SCOPED_TRACE(c.entry);
        Song s = BoundSong(2, {"a", c.entry});
        InPlaceEditor ed;
        OpenEditor(s, ed, 1);
        ListEditResult r = EditorEscape(s, ed);
        EXPECT_EQ(s.List1[1], c.restored);
        EXPECT_FALSE(ed.Open);
        EXPECT_EQ(ed.Index, -1);
        EXPECT_TRUE(r.FocusList);
        EXPECT_FALSE(r.Redraw);
    }
}

TEST(ListEditsTest, EditorEnterSplitsAtTheFirstHyphenAndRebinds) {
    Song s = BoundSong(4, {"x", "y"});
    InPlaceEditor ed;
    OpenEditor(s, ed, 0);
    ListEditResult r = EditorEnter(s, true, ed, "ab-cd-e");
    EXPECT_EQ(s.List1, (List{"ab", "cd-e", "y"}));
    EXPECT_FALSE(ed.Open);
    EXPECT_EQ(r.Selection, 0);
    EXPECT_TRUE(r.Redraw);
    EXPECT_TRUE(r.RefreshScore);
    EXPECT_TRUE(r.FocusList);
    EXPECT_EQ(s.LyricEvents[1].Text, "cd-e");

    OpenEditor(s, ed, 2);
    r = EditorEnter(s, true, ed, "yes ");
    EXPECT_EQ(s.List1, (List{"ab", "cd-e", "yes "}));
    EXPECT_TRUE(r.Redraw);

    // Enter with the editor closed does nothing.
    r = EditorEnter(s, true, ed, "zzz");
    EXPECT_FALSE(r.Changed);
    EXPECT_FALSE(r.Redraw);
    EXPECT_EQ(s.List1.size(), 3u);
}

TEST(ListEditsTest, EditorLosingFocusKeepsTheTextWithoutSplitOrRebinding) {
    Song s = BoundSong(2, {"a", "b"});
    InPlaceEditor ed;
    OpenEditor(s, ed, 1);
    s.LyricEvents.assign(1, NoteRec{});
    ListEditResult r = EditorLostFocus(s, ed, "c-d");
    EXPECT_EQ(s.List1, (List{"a", "c-d"}));
    EXPECT_FALSE(ed.Open);
    EXPECT_FALSE(r.Redraw);
    EXPECT_TRUE(r.FocusList);
    EXPECT_EQ(s.LyricEvents[0].Text, "");
}

TEST(ListEditsTest, RetypeNoteSyllableChangesNotesAndTheKaraokeTables) {
    Song s = BoundSong(3, {"a", "mo", "re "});
    s.Notes = s.LyricEvents;  // as the merge leaves them for notes one sixteenth apart
    RetypeResult r = RetypeNoteSyllable(s, 1, "MO");
    EXPECT_TRUE(r.Done);
    EXPECT_TRUE(r.RedrawLyricStrip);
    EXPECT_TRUE(r.RedrawKaraoke);
    EXPECT_EQ(s.Notes[1].Text, "MO");
    EXPECT_EQ(s.LyricRecs[1].Text, "MO");
    EXPECT_EQ(s.LyricLines[0], "MOre ");  // rebuilt from the current note on
    EXPECT_EQ(s.List1[1], "mo");          // the list is not touched

    // The last record: LyricRecs(curNote + 1) does not exist, no karaoke redraw.
    r = RetypeNoteSyllable(s, 2, "ra ");
    EXPECT_TRUE(r.Done);
    EXPECT_FALSE(r.RedrawKaraoke);
    EXPECT_EQ(s.Notes[2].Text, "ra ");

    for (int bad : {-1, 3}) {
        r = RetypeNoteSyllable(s, bad, "no");
        EXPECT_FALSE(r.Done);
    }
}

TEST(ListEditsTest, LineMarksBeforeCountsOnlyEarlierMarks) {
    List list = {"a", "---", "b", "---", "c"};
    EXPECT_EQ(LineMarksBefore(list, 0), 0);
    EXPECT_EQ(LineMarksBefore(list, 2), 1);
    EXPECT_EQ(LineMarksBefore(list, 4), 2);
    EXPECT_EQ(LineMarksBefore(list, 99), 2);
    EXPECT_EQ(LineMarksBefore(list, -3), 0);
}

}  // namespace
}  // namespace lirovox::lyrics
