// The syllable list in the window: its keys, the in-place editor, the note-syllable box,
// the rebinding after each edit, and the score's picks that select list entries.

#include <QLineEdit>

#include "app/window_widgets.h"
#include "score/qt/score_widget.h"
#include "window_fixture.h"

namespace lirovox::test {
namespace {

using Entries = std::vector<std::string>;

class ListTest : public WindowTest {
protected:
    // Five notes and the list "a", "mo", "re ", "---", "bel", "la " (and the empty entry
    // that "Ready" adds after the last line).
    void SetUp() override {
        WindowTest::SetUp();
        Load(dir.Write("song.mid", MelodyFile({60, 62, 64, 65, 67}, 500000, 480)));
        Ready(dir.Write("list.txt", "a\r\nmo\r\nre \r\n---\r\nbel\r\nla "));
        ASSERT_EQ(st().Song.List1, (Entries{"a", "mo", "re ", "---", "bel", "la ", ""}));
    }

    void Key(int qtKey) { QTest::keyClick(c().List1, static_cast<Qt::Key>(qtKey)); }
    void Select(int row) { window->SelectListEntry(row); }
};

TEST_F(ListTest, DeleteInsertF7AndBackspaceEditAndRebind) {
    struct Case {
        int select;
        Qt::Key key;
        Entries after;
        int selectedAfter;
    };
    const Case cases[] = {
        {1, Qt::Key_Delete, {"a", "re ", "---", "bel", "la ", ""}, 1},
        {0, Qt::Key_Insert, {"a", "", "re ", "---", "bel", "la ", ""}, 1},
        {3, Qt::Key_F7, {"a", "", "re ", "---", "---", "bel", "la ", ""}, 4},
        {6, Qt::Key_Backspace, {"a", "", "re ", "---", "---", "bella ", ""}, 5},
        // Backspace after a line mark, and on the first entry: the list stays.
        {5, Qt::Key_Backspace, {"a", "", "re ", "---", "---", "bella ", ""}, 5},
        {0, Qt::Key_Backspace, {"a", "", "re ", "---", "---", "bella ", ""}, 0},
        // Delete of the last entry leaves no selection.
        {6, Qt::Key_Delete, {"a", "", "re ", "---", "---", "bella "}, -1},
    };
    for (const Case& k : cases) {
        Select(k.select);
        Key(k.key);
        EXPECT_EQ(st().Song.List1, k.after) << "key " << k.key << " on " << k.select;
        EXPECT_EQ(Shown(), k.after);
        EXPECT_EQ(st().ListIndex, k.selectedAfter);
        EXPECT_EQ(c().List1->currentRow(), k.selectedAfter);
        ExpectBoundToList(st().Song);
        // The header figures follow the binding.
        EXPECT_EQ(c().LabHyphens->text(), QString::number(st().Song.HyphenCount));
        EXPECT_EQ(c().LabAcapi->text(), QString::number(st().Song.LineCount));
    }
    EXPECT_EQ(st().Song.LineCount, 2);
}

TEST_F(ListTest, SelectionMovesTheCursorPlaysTheNoteAndShowsTheBar) {
    engine.ClearCalls();
    Select(4);  // "bel": the fourth syllable, note 3 (65), after one line mark
    EXPECT_EQ(st().CurNote, 4);
    const std::vector<playback::ChannelMessage> sent = engine.Messages();
    ASSERT_FALSE(sent.empty());
    const int note = st().Song.Notes[4].Note;
    EXPECT_EQ(sent.back(), (playback::ChannelMessage{3, 0x90, note, 80}));
    EXPECT_TRUE(c().Timer2->isActive()) << "the preview's cut-off is on its way";
    // The cursor stands on the drawn note of that entry (list index less the line marks).
    const ScoreNote& n = st().NotePos[3];
    EXPECT_EQ(c().PicScore->Cursor().X, n.X);
    EXPECT_EQ(c().PicScore->Cursor().Bottom, n.Y);
    EXPECT_EQ(c().Label10->text(), "0 of " + QString::number(st().Song.Bars));
    // The karaoke view lights the syllable.
    ASSERT_FALSE(c().PicKara->Frame().Rows.empty());
    EXPECT_EQ(window->Session().Playback().State().ResumePos, 0);

    // "la " is on the fifth note, in the second bar: Play would start there.
    Select(5);
    EXPECT_EQ(c().Label10->text(), "1 of " + QString::number(st().Song.Bars));
    EXPECT_EQ(window->Session().Playback().State().ResumePos, 3072);
}

TEST_F(ListTest, EnterOpensTheEditorAndSplitsAtTheHyphen) {
    Select(1);
    Key(Qt::Key_Return);
    ASSERT_TRUE(c().TexEdit->isVisible());
    EXPECT_EQ(c().TexEdit->text(), "mo");
    EXPECT_EQ(c().List1->item(1)->text(), "") << "the entry stands blank while edited";
    EXPECT_TRUE(st().Editor.Open);

    c().TexEdit->setText("ab-cd-e");
    QTest::keyClick(c().TexEdit, Qt::Key_Return);
    EXPECT_FALSE(c().TexEdit->isVisible());
    EXPECT_FALSE(st().Editor.Open);
    EXPECT_EQ(st().Song.List1, (Entries{"a", "ab", "cd-e", "re ", "---", "bel", "la ", ""}));
    EXPECT_EQ(Shown(), st().Song.List1);
    EXPECT_EQ(st().ListIndex, 1);
    ExpectBoundToList(st().Song);

    // Enter on a line mark opens nothing.
    Select(4);
    Key(Qt::Key_Return);
    EXPECT_FALSE(c().TexEdit->isVisible());
}

TEST_F(ListTest, EscRestoresTheEntryExactly) {
    const int depth = window->Session().UndoDepth();
    Select(2);
    Key(Qt::Key_Enter);
    ASSERT_TRUE(c().TexEdit->isVisible());
    EXPECT_EQ(c().TexEdit->text(), "re ");
    c().TexEdit->setText("changed");
    QTest::keyClick(c().TexEdit, Qt::Key_Escape);
    EXPECT_FALSE(c().TexEdit->isVisible());
    EXPECT_EQ(st().Song.List1[2], "re ") << "trailing blank kept";
    EXPECT_EQ(c().List1->item(2)->text(), "re ");
    EXPECT_EQ(window->Session().UndoDepth(), depth) << "nothing changed, nothing to undo";

    // An empty entry comes back as a single blank.
    Key(Qt::Key_Insert);  // "" after "re ", selected
    ASSERT_EQ(st().Song.List1[3], "");
    Key(Qt::Key_Return);
    EXPECT_EQ(c().TexEdit->text(), " ");
    QTest::keyClick(c().TexEdit, Qt::Key_Escape);
    EXPECT_EQ(st().Song.List1[3], " ");
}

TEST_F(ListTest, RightPressOnAnEntryOpensTheEditorOnIt) {
    Select(0);
    QListWidget* list = c().List1;
    const QRect r = list->visualItemRect(list->item(5));
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, r.center());
    EXPECT_EQ(st().ListIndex, 5);
    ASSERT_TRUE(c().TexEdit->isVisible());
    EXPECT_EQ(c().TexEdit->text(), "la ");
    EXPECT_EQ(c().TexEdit->geometry().top(), r.top()) << "over the entry";
    QTest::keyClick(c().TexEdit, Qt::Key_Escape);

    // Not on a line mark.
    const QRect mark = list->visualItemRect(list->item(3));
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, mark.center());
    EXPECT_FALSE(c().TexEdit->isVisible());
}

TEST_F(ListTest, LeavingTheEditorKeepsTheTextWithoutSplitting) {
    Select(0);
    Key(Qt::Key_Return);
    c().TexEdit->setText("x-y");
    // The editor closes as it loses the focus.
    emit c().TexEdit->focusLost();
    EXPECT_FALSE(st().Editor.Open);
    EXPECT_FALSE(c().TexEdit->isVisible());
    EXPECT_EQ(st().Song.List1[0], "x-y");
    EXPECT_EQ(st().Song.List1.size(), 7u);
}

TEST_F(ListTest, NoteSyllableBoxRetypesTheCurrentNote) {
    Select(1);  // "mo"
    window->ShowTextK();
    ASSERT_TRUE(c().TextK->isVisible());
    EXPECT_EQ(c().TextK->text(), "mo");
    c().TextK->setText("MO");
    QTest::keyClick(c().TextK, Qt::Key_Return);
    EXPECT_EQ(st().Song.Notes[1].Text, "MO");
    // The syllable under the note shows the new text.
    bool found = false;
    for (const score::ScoreMark& m : st().Layout->Marks) found = found || (m.Font == score::MarkFont::Arial && m.Text == "MO");
    EXPECT_TRUE(found);
    QTest::keyClick(c().TextK, Qt::Key_Escape);
    EXPECT_FALSE(c().TextK->isVisible());
}

// A song long enough for two rows and two pages, one syllable per note.
class ScorePickTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        LoadWithSyllables(40);
        ASSERT_TRUE(st().Layout->Drawn);
        ASSERT_GT(st().Layout->Row2FirstIndex, 18);
    }
    // A press at score coordinates, with the page the score shows now.
    void PressScore(int x, int y) {
        const int viewX = x - c().PicScore->Page() * kScorePageWidth;
        QTest::mousePress(c().PicScore, Qt::LeftButton, {}, QPoint(viewX, y));
    }
};

TEST_F(ScorePickTest, PickOnRowOneSelectsTheColumnsEntry) {
    PressScore(32 * 4 + 3, 50);  // column 3
    EXPECT_EQ(st().ListIndex, 3);
    EXPECT_EQ(c().List1->currentRow(), 3);
    EXPECT_EQ(st().CurNote, 3);
    EXPECT_EQ(st().Row2PickPos, 0);
    EXPECT_EQ(c().PicScore->Cursor().X, st().NotePos[3].X);
    EXPECT_EQ(c().PicScore->Cursor().Bottom, 64);
    EXPECT_EQ(c().PicScore->Page(), 0);

    // Left of the first head: CurNote -1, the selection stays.
    PressScore(10, 50);
    EXPECT_EQ(st().CurNote, -1);
    EXPECT_EQ(st().ListIndex, 3);
}

TEST_F(ScorePickTest, KeysMoveAlongTheRecordsAndScrollThePage) {
    QTest::keyClick(c().PicScore, Qt::Key_End);
    const int last = UBound(st().Song.Notes);
    EXPECT_EQ(st().ListIndex, last);
    const ScoreNote& n = st().NotePos[static_cast<size_t>(last)];
    EXPECT_EQ(c().PicScore->Page(), static_cast<int>(n.Page));
    EXPECT_EQ(c().PicScore->Cursor().Bottom, 176) << "the last record is on row 2";
    QTest::keyClick(c().PicScore, Qt::Key_Right);
    EXPECT_EQ(st().ListIndex, last) << "stays on the last record";
    QTest::keyClick(c().PicScore, Qt::Key_Home);
    EXPECT_EQ(st().ListIndex, 0);
    EXPECT_EQ(c().PicScore->Page(), 0);
    QTest::keyClick(c().PicScore, Qt::Key_Left);
    EXPECT_EQ(st().CurNote, 0);
    QTest::keyClick(c().PicScore, Qt::Key_Right);
    EXPECT_EQ(st().ListIndex, 1);
}

TEST_F(ScorePickTest, PickOnRowTwoUsesItsOwnColumns) {
    // Scroll to page 1 through the list, then press column 19 of row 2 there.
    window->SelectListEntry(18);
    ASSERT_EQ(c().PicScore->Page(), 1);
    PressScore(32 * 20 + 2, 150);
    const app::SessionState& s = st();
    EXPECT_EQ(s.ListIndex, s.Layout->Row2FirstIndex + 19);
    EXPECT_EQ(s.Row2PickPos, s.Layout->Row2FirstNote + 19);
    const ScoreNote& n = s.NotePos[static_cast<size_t>(s.Row2PickPos)];
    EXPECT_EQ(c().PicScore->Cursor().X, n.X);
    EXPECT_EQ(c().PicScore->Cursor().Bottom, 176);
    EXPECT_EQ(c().PicScore->Page(), static_cast<int>(n.Page));

    // Moving the selection with the keyboard ends the pick: the cursor follows the entry.
    c().List1->setFocus();
    QTest::keyClick(c().List1, Qt::Key_Up);
    EXPECT_EQ(st().ListIndex, s.Layout->Row2FirstIndex + 18);
    EXPECT_EQ(st().Row2PickPos, 0);
    EXPECT_EQ(c().PicScore->Cursor().X, st().NotePos[static_cast<size_t>(st().ListIndex)].X);

    // A press on the list clears the row-2 pick; its selection scrolls back to page 0.
    QTest::mousePress(c().List1->viewport(), Qt::LeftButton, {},
                      c().List1->visualItemRect(c().List1->item(0)).center());
    EXPECT_EQ(st().Row2PickPos, 0);
    EXPECT_EQ(st().ListIndex, 0);
    EXPECT_EQ(c().PicScore->Page(), 0);
    // Column 1 of row 2 (x = 70).
    PressScore(70, 150);
    EXPECT_EQ(st().ListIndex, st().Layout->Row2FirstIndex + 1);
    EXPECT_EQ(st().Row2PickPos, st().Layout->Row2FirstNote + 1);
}

TEST_F(WindowTest, PicksDoNothingBeforeALoad) {
    QTest::mousePress(c().PicScore, Qt::LeftButton, {}, QPoint(100, 50));
    QTest::keyClick(c().PicScore, Qt::Key_End);
    EXPECT_EQ(st().CurNote, 0);
    EXPECT_EQ(st().ListIndex, -1);
    EXPECT_TRUE(engine.Messages().empty());
}

}  // namespace
}  // namespace lirovox::test
