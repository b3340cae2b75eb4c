// The notepad (show/hide, the double click that copies the list, "Save TXT File"), the
// lyric imports and "Synchronize TXT", and undo/redo of the list's changes.

#include <QPlainTextEdit>

#include "app/song_session.h"
#include "window_fixture.h"

namespace lirovox::test {
namespace {

using Entries = std::vector<std::string>;

TEST_F(WindowTest, NotepadShowHideTogglesTheCheckMark) {
    EXPECT_FALSE(c().NoteP->isVisible());
    window->NotePadz_Click();
    EXPECT_TRUE(c().NoteP->isVisible());
    EXPECT_TRUE(c().NotePadz->isChecked());
    EXPECT_EQ(c().NoteP->y(), 6);
    window->NotePadz_Click();
    EXPECT_FALSE(c().NoteP->isVisible());
    EXPECT_FALSE(c().NotePadz->isChecked());
}

TEST_F(WindowTest, HyphenationImportShowsTheTextAndSynchronizeBindsIt) {
    Load(SourcePath("examples/fra_martino.mid"));
    files.push_back(SourcePath("examples/fra_martino.txt"));
    window->Italian_Click();
    EXPECT_EQ(requests.back().Title, "Open TXT");
    EXPECT_EQ(requests.back().Filter, "Text ASCII Files(*.txt)");
    EXPECT_TRUE(c().NoteP->isVisible());
    EXPECT_TRUE(c().NotePadz->isChecked());
    EXPECT_TRUE(c().NoteP->toPlainText().startsWith("Fra Martino campanaro,\n"));
    ASSERT_FALSE(st().Song.List1.empty());
    EXPECT_EQ(st().Song.List1[0], "Fra ");
    EXPECT_EQ(c().LabHyphens->text(), QString::number(st().Song.HyphenCount));
    EXPECT_EQ(c().LabAcapi->text(), "9") << "eight lines and the empty piece after the last";
    EXPECT_FALSE(st().Song.HasWords) << "not bound before Synchronize TXT";

    // The user corrects the text in the notepad; Synchronize splits that text.
    c().NoteP->setPlainText(c().NoteP->toPlainText().replace("Fra Martino", "Frate Martino"));
    window->UpdateTXT_Click();
    EXPECT_FALSE(c().NoteP->isVisible()) << "Synchronize toggles the notepad";
    EXPECT_EQ(st().Song.List1[0], "Fra");
    EXPECT_EQ(st().Song.List1[1], "te ");
    EXPECT_TRUE(st().Song.HasWords);
    ExpectBoundToList(st().Song);
    // The karaoke view shows the first lines.
    ASSERT_FALSE(c().PicKara->Frame().Rows.empty());
}

TEST_F(WindowTest, UnreadableLyricFileChangesNothing) {
    Ready(dir.Write("list.txt", "uno \r\ndue \r\n"));
    const Entries list = st().Song.List1;
    const std::string notepad = st().NotepadText;
    files.push_back(dir.File("missing.txt"));
    window->Italian_Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("missing.txt"), std::string::npos);
    EXPECT_EQ(st().Song.List1, list);
    EXPECT_EQ(st().NotepadText, notepad);
}

TEST_F(WindowTest, DoubleClickCopiesTheListAndSaveReadyRoundTrips) {
    Load(dir.Write("song.mid", MelodyFile(Pitches(4), 500000, 384)));
    Ready(dir.Write("in.txt", "cia\r\no \r\n---\r\nbel\r\nla "));
    const Entries list = st().Song.List1;
    const bool visible = c().NoteP->isVisible();

    QTest::mouseDClick(c().Surface, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(st().NotepadText, "cia\r\no \r\n---\r\nbel\r\nla \r\n\r\n");
    EXPECT_EQ(c().NoteP->toPlainText(), "cia\no \n---\nbel\nla \n\n");
    EXPECT_EQ(c().NoteP->isVisible(), visible);

    // "lyrics" is saved as lyrics.txt, in the notepad's exact bytes.
    files.push_back(dir.File("lyrics"));
    window->SaveTXT_Click();
    EXPECT_EQ(requests.back().Kind, app::FileDialogKind::Save);
    EXPECT_EQ(requests.back().Filter, "TXT File (*.txt)");
    EXPECT_EQ(ReadFileBytes(dir.File("lyrics.txt")), st().NotepadText);

    // "Ready" on the saved file gives the list back, plus one empty entry.
    Ready(dir.File("lyrics.txt"));
    Entries expected = list;
    expected.push_back("");
    EXPECT_EQ(st().Song.List1, expected);
}

TEST_F(WindowTest, SaveTextNameRuleAndFailure) {
    EXPECT_EQ(app::SongSession::TextFileName("lyrics"), "lyrics.txt");
    EXPECT_EQ(app::SongSession::TextFileName("lyrics.TXT"), "lyrics.TXT.txt");
    EXPECT_EQ(app::SongSession::TextFileName("my.txt.bak"), "my.txt.bak");

    // An empty notepad saves nothing and asks for no name.
    window->SaveTXT_Click();
    EXPECT_TRUE(requests.empty());

    c().NoteP->setPlainText("riga uno\nriga due\n");
    EXPECT_EQ(st().NotepadText, "riga uno\r\nriga due\r\n");
    files.push_back(dir.File("my.txt.bak"));
    window->SaveTXT_Click();
    EXPECT_EQ(ReadFileBytes(dir.File("my.txt.bak")), "riga uno\r\nriga due\r\n");

    // A folder that does not exist: a message, and the notepad keeps its text.
    files.push_back(dir.File("no/such/folder/x.txt"));
    window->SaveTXT_Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("x.txt"), std::string::npos) << messages[0];
    EXPECT_EQ(st().NotepadText, "riga uno\r\nriga due\r\n");
    EXPECT_EQ(c().NoteP->toPlainText(), "riga uno\nriga due\n");
}

// The lyric state that undo must give back exactly.
struct Seen {
    Entries list;
    std::vector<std::string> eventTexts;
    std::vector<double> eventTicks;
    std::vector<std::string> lines;
    std::string hyphens, acapi;
    bool operator==(const Seen&) const = default;
};

Seen Look(const app::SessionState& s, const app::WindowControls& c) {
    Seen v;
    v.list = s.Song.List1;
    for (const NoteRec& e : s.Song.LyricEvents) {
        v.eventTexts.push_back(e.Text);
        v.eventTicks.push_back(e.Tick);
    }
    v.lines = s.Song.LyricLines;
    v.hyphens = c.LabHyphens->text().toStdString();
    v.acapi = c.LabAcapi->text().toStdString();
    return v;
}

TEST_F(WindowTest, UndoAndRedoWalkBackAndForthThroughEveryKindOfEdit) {
    Load(dir.Write("song.mid", MelodyFile(Pitches(8), 500000, 768)));
    const std::string lyricText = dir.Write("text.txt", "amore mio\ncanta\n");
    std::vector<Seen> states{Look(st(), c())};
    auto step = [&](auto&& edit) {
        edit();
        states.push_back(Look(st(), c()));
        ASSERT_NE(states.back(), states[states.size() - 2]) << "the edit changed something";
    };

    step([&] { ASSERT_TRUE(window->ImportLyricsFile(lyricText, false)); });
    step([&] { window->UpdateTXT_Click(); });
    step([&] {
        window->SelectListEntry(1);
        QTest::keyClick(c().List1, Qt::Key_Delete);
    });
    step([&] {
        window->SelectListEntry(0);
        QTest::keyClick(c().List1, Qt::Key_Insert);
    });
    step([&] {
        window->SelectListEntry(2);
        QTest::keyClick(c().List1, Qt::Key_F7);
    });
    step([&] {
        window->SelectListEntry(2);
        QTest::keyClick(c().List1, Qt::Key_Return);
        c().TexEdit->setText("x-y");
        QTest::keyClick(c().TexEdit, Qt::Key_Return);
    });
    step([&] {
        window->SelectListEntry(3);
        QTest::keyClick(c().List1, Qt::Key_Backspace);
    });
    step([&] { Ready(dir.Write("ready.txt", "do \r\nre \r\n---\r\nmi \r\n")); });
    const size_t last = states.size() - 1;
    EXPECT_TRUE(c().Undo->isEnabled());
    EXPECT_FALSE(c().Redo->isEnabled());

    for (size_t i = last; i > 0; --i) {
        c().Undo->trigger();
        EXPECT_EQ(Look(st(), c()), states[i - 1]) << "undo back to state " << i - 1;
        EXPECT_EQ(Shown(), states[i - 1].list);
    }
    EXPECT_FALSE(c().Undo->isEnabled());
    EXPECT_EQ(st().NotepadText, "") << "the import's notepad text went with it";
    for (size_t i = 1; i <= last; ++i) {
        c().Redo->trigger();
        EXPECT_EQ(Look(st(), c()), states[i]) << "redo to state " << i;
    }
    EXPECT_FALSE(c().Redo->isEnabled());

    // A new edit after an undo drops the steps that were undone.
    c().Undo->trigger();
    window->SelectListEntry(0);
    QTest::keyClick(c().List1, Qt::Key_Delete);
    EXPECT_FALSE(c().Redo->isEnabled());
    c().Undo->trigger();
    EXPECT_EQ(Look(st(), c()), states[last - 1]);
}

TEST_F(WindowTest, UndoKeepsNotepadTypingThatTheEditDidNotTouch) {
    Load(dir.Write("song.mid", MelodyFile(Pitches(3), 500000, 288)));
    Ready(dir.Write("list.txt", "a \r\nb \r\nc \r\n"));
    window->SelectListEntry(0);
    QTest::keyClick(c().List1, Qt::Key_Delete);
    c().NoteP->setPlainText("typed meanwhile\n");
    c().Undo->trigger();
    EXPECT_EQ(st().Song.List1[0], "a ");
    EXPECT_EQ(st().NotepadText, "typed meanwhile\r\n");
}

}  // namespace
}  // namespace lirovox::test
