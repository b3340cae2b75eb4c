// The window's shell: its elements and menus, the right-click menu, loading a song
// through the file chooser and the header panel it fills, and bad files.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QImage>
#include <QTimer>

#include "app/playback_panel.h"
#include "app/window_widgets.h"
#include "playback/qt/karaoke_view.h"
#include "score/qt/score_widget.h"
#include "util/file_io.h"
#include "window_fixture.h"

namespace lirovox::test {
namespace {

TEST_F(WindowTest, HoldsEveryElementUnderItsName) {
    EXPECT_EQ(window->windowTitle(), "Lirovox");
    const char* const names[] = {
        "PicScore", "Pic2", "Picture1", "PicKara", "MediaPlayer1", "List1", "List3", "List4", "NoteP",
        "TexEdit", "TextK", "TxtGoTo", "Text1", "Speed", "BtnPlay", "BtnPause", "BtnStop", "BtnFwd",
        "BtnRew", "BtnMute", "BtnSolo", "Label1", "Label2", "Label3", "Label4", "Label5", "Label6",
        "Label7", "Label8", "Label9", "Label10", "Label11", "Label12", "Label13", "Label14", "Label15",
        "Label16", "Label17", "Label18", "LabFileName", "LabNotes", "LabHyphens", "LabAcapi",
        "ImgPlayLed", "Timer1", "Timer2"};
    for (const char* name : names) {
        EXPECT_EQ(window->findChildren<QObject*>(QString::fromLatin1(name)).size(), 1) << name;
    }
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(window->findChildren<QLabel*>(QStringLiteral("LabPar%1").arg(i)).size(), 1) << i;
    }

    // Fixed texts.
    const std::pair<const char*, const char*> texts[] = {
        {"Label1", "Instr."},  {"Label2", "Volume"}, {"Label3", "Reverb"}, {"Label4", "Chorus"},
        {"Label5", "Pan"},     {"Label6", "Channel"}, {"Label11", "Bars:"}, {"Label12", "BPM:"},
        {"Label13", "Time:"},  {"Label14", "Length:"}, {"Label15", "Notes:"}, {"Label16", "Hyphens:"}};
    for (const auto& [name, text] : texts) {
        auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), QString::fromLatin1(text)) << name;
    }
    EXPECT_EQ(c().BtnPlay->text(), "Play");
    EXPECT_EQ(c().BtnPause->text(), "Pause");
    EXPECT_EQ(c().BtnStop->text(), "Stop");
    EXPECT_EQ(c().BtnMute->text(), "Mute");
    EXPECT_EQ(c().BtnSolo->text(), "Solo");
    EXPECT_EQ(c().Timer1->interval(), 4);
    EXPECT_EQ(c().Timer1->timerType(), Qt::PreciseTimer);
    EXPECT_EQ(c().Timer2->interval(), 200);
    EXPECT_FALSE(c().Timer1->isActive());
    EXPECT_EQ(c().List3->count(), 128);
    EXPECT_EQ(c().List3->item(0)->text(), "Acoustic Grand");
    // Nothing loaded: the jumps and the bar label are off, the notepad and boxes hidden.
    EXPECT_FALSE(c().BtnFwd->isEnabled());
    EXPECT_FALSE(c().BtnRew->isEnabled());
    EXPECT_FALSE(c().Label10->isEnabled());
    EXPECT_FALSE(c().NoteP->isVisible());
    EXPECT_FALSE(c().TexEdit->isVisible());
    EXPECT_FALSE(st().Loaded);
}

// The menu tree as text and object name, "-" for a separator.
std::vector<std::string> MenuTree(QMenu* menu) {
    std::vector<std::string> out;
    for (QAction* a : menu->actions()) {
        const std::string name = (a->menu() ? a->menu()->objectName() : a->objectName()).toStdString();
        if (a->isSeparator()) {
            out.push_back("- " + name);
        } else {
            out.push_back(a->text().toStdString() + " " + name);
            if (a->menu()) {
                for (const std::string& sub : MenuTree(a->menu())) out.push_back("  " + sub);
            }
        }
    }
    return out;
}

TEST_F(WindowTest, MenuTreeAndShortcuts) {
    const QList<QAction*> top = window->menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), "File");
    EXPECT_EQ(top[1]->text(), "Notepad");
    EXPECT_EQ(top[1]->menu()->objectName(), "Notepz");
    const std::vector<std::string> file = {
        "Import TXT File ImportMenu", "  Hyphenation 1 Italian", "  Hyphenation 2 Other", "  Ready ReadyTXT",
        "Save TXT File SaveTXT",      "- sep",                   "Load Midifile LoadSMF",
        "Save Midifile ExportSMF",    "- sep5",                  "Open Audio File OpenAudio",
        "- sep3",                     "Exit ExiPrg"};
    EXPECT_EQ(MenuTree(top[0]->menu()), file);
    const std::vector<std::string> notepad = {"Notepad Show/Hide NotePadz", "Synchronize TXT UpdateTXT"};
    EXPECT_EQ(MenuTree(top[1]->menu()), notepad);
    EXPECT_TRUE(c().NotePadz->isCheckable());

    EXPECT_EQ(c().LoadSMF->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(c().ExportSMF->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(c().ExiPrg->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    EXPECT_EQ(c().Undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(c().Redo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
}

TEST_F(WindowTest, RightPressOnTheFreeAreaPopsUpTheFileMenuLeftPressDoesNot) {
    QWidget* surface = c().Surface;
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(c().FileMenu->isVisible());
    QTest::mousePress(surface, Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_TRUE(c().FileMenu->isVisible());
    c().FileMenu->hide();
}

TEST_F(WindowTest, LoadThroughTheChooserFillsTheHeaderPanel) {
    // 400 quarters at 120 BPM: 200 seconds, 101 bars; three melody notes; two syllables
    // and one line break of the file's own.
    const std::string path = dir.Write(
        "song.mid", MelodyFile({60, 62, 64}, 500000, 38400, {{0, "Ciao "}, {96, "\r"}, {192, "bel"}}));
    Load(path);

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Kind, app::FileDialogKind::Open);
    EXPECT_EQ(requests[0].Title, "Open SMF");
    EXPECT_EQ(requests[0].Filter, "MIDI File (*.mid)");
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(st().Loaded);
    EXPECT_TRUE(st().SongOpen);

    EXPECT_EQ(c().LabFileName->text().toStdString(), path);
    EXPECT_EQ(c().Label7->text(), "03:20");
    EXPECT_EQ(c().Label9->text(), "120");
    EXPECT_EQ(c().Label10->text(), "1 of 101");
    EXPECT_EQ(c().LabNotes->text(), "3");
    EXPECT_EQ(c().LabHyphens->text(), "2");
    EXPECT_EQ(c().LabAcapi->text(), "1");
    // The file's own syllables fill the list; the channel strip shows channel 4.
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Ciao ", "---", "bel"}));
    EXPECT_EQ(c().LabPar[0]->text(), "4");
    // The engine took the song: division and length in music time.
    const std::vector<std::string>& calls = engine.Calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "LoadSong 96 307200"), calls.end());
    // The score shows it (three columns and more) and the staff heading its 4/4.
    ASSERT_TRUE(c().PicScore->Layout());
    EXPECT_TRUE(c().PicScore->Layout()->Drawn);
    EXPECT_FALSE(c().PicScore->Layout()->Heading.empty());
}

TEST_F(WindowTest, CancelledChooserChangesNothing) {
    Load(dir.Write("a.mid", MelodyFile({60, 62}, 500000, 192)));
    const std::string shownName = c().LabFileName->text().toStdString();
    files.push_back("");
    window->LoadSMF_Click();
    EXPECT_EQ(c().LabFileName->text().toStdString(), shownName);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(st().Loaded);
}

TEST_F(WindowTest, BadFileLeavesThePreviousSongListAndNotepadAsTheyWere) {
    const std::string good = dir.Write("good.mid", MelodyFile({60, 62, 64, 65}, 600000, 384));
    Load(good);
    Ready(dir.Write("list.txt", "la \r\nla \r\n---\r\nlo \r\n"));
    const std::vector<std::string> list = st().Song.List1;
    const std::string notepad = st().NotepadText;
    const size_t engineCalls = engine.Calls.size();

    const std::string bad[] = {dir.Write("text.mid", "this is not a MIDI file at all"),
                               dir.Write("cut.mid", MelodyFile({60, 62}, 500000, 192).substr(0, 30)),
                               dir.File("missing.mid")};
    for (const std::string& path : bad) {
        messages.clear();
        Load(path);
        ASSERT_EQ(messages.size(), 1u) << path;
        // The message names the file.
        EXPECT_NE(messages[0].find(path.substr(path.rfind('/') + 1)), std::string::npos) << messages[0];
        EXPECT_EQ(st().Song.FilePath, good);
        EXPECT_EQ(c().LabFileName->text().toStdString(), good);
        EXPECT_EQ(c().Label9->text(), "100");
        EXPECT_EQ(st().Song.List1, list);
        EXPECT_EQ(Shown(), list);
        EXPECT_EQ(st().NotepadText, notepad);
        EXPECT_TRUE(st().Loaded);
        EXPECT_EQ(engine.Calls.size(), engineCalls) << "the engine was not touched";
    }
}

TEST_F(WindowTest, SecondLoadReplacesTheSongAndResetsTheList) {
    Load(dir.Write("a.mid", MelodyFile({60, 62, 64}, 500000, 288)));
    Ready(dir.Write("list.txt", "do \r\nre \r\nmi \r\n"));
    c().List1->setCurrentRow(1);
    Load(dir.Write("b.mid", MelodyFile({67, 69}, 1000000, 192)));
    EXPECT_TRUE(st().Song.List1.empty());
    EXPECT_EQ(c().List1->count(), 0);
    EXPECT_EQ(st().ListIndex, -1);
    EXPECT_EQ(c().LabNotes->text(), "2");
    EXPECT_EQ(c().Label9->text(), "60");
    EXPECT_FALSE(st().Song.HasWords);
    EXPECT_FALSE(window->Session().CanUndo()) << "a new song starts a new history";
}

TEST_F(WindowTest, ExportWritesTheKaraokeFileAndRefusesTheLoadedOne) {
    const std::string song = dir.Write("song.mid", MelodyFile({60, 62, 64}, 500000, 288));
    Load(song);
    Ready(dir.Write("list.txt", "ca \r\nro \r\nla \r\n"));

    files.push_back(song);
    window->ExportSMF_Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Same MIDI file, please choose another...");
    EXPECT_EQ(requests.back().Kind, app::FileDialogKind::Save);
    EXPECT_EQ(requests.back().Filter, "MIDI File (*.mid)");

    // A name without ".mid" gets it; the file carries the three syllables.
    files.push_back(dir.File("out"));
    window->ExportSMF_Click();
    EXPECT_EQ(messages.size(), 1u);
    const RunResult dump = MidoDump(dir.File("out.mid"));
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    // One lyric event per note, at the notes' ticks, in a new last track.
    for (const char* line : {"\n0 lyrics 63 61 20\n", "\n96 lyrics 72 6f 20\n", "\n192 lyrics 6c 61 20\n"}) {
        EXPECT_NE(dump.out.find(line), std::string::npos) << line << dump.out;
    }

    // "out" given again: the dialog confirmed "out", so replacing "out.mid" is asked.
    confirm = false;
    WriteFileAtomically(dir.File("out.mid"), "keep");
    files.push_back(dir.File("out"));
    window->ExportSMF_Click();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(questions[0].find("out.mid"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir.File("out.mid")), "keep");
}

TEST_F(WindowTest, ExportDoesNothingWithoutASongOrSyllables) {
    window->ExportSMF_Click();
    EXPECT_TRUE(requests.empty());
    Load(dir.Write("song.mid", MelodyFile({60}, 500000, 96)));
    requests.clear();
    window->ExportSMF_Click();
    EXPECT_TRUE(requests.empty()) << "an empty list asks for no name";
}

}  // namespace
}  // namespace lirovox::test

namespace lirovox::test {
namespace {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

TEST(WindowProgramTest, OpensTheSongGivenOnTheCommandLineWithItsLyrics) {
    TempDir dir;
    const std::string picture = dir.File("window.png");
    // The autopilot of tools/screenshot plays the loaded song briefly, takes a picture and
    // leaves through Exit.
    const RunResult r = RunCommand(
        "ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen LIROVOX_AUTOPLAY_MS=300 LIROVOX_SCREENSHOT=" +
        Quote(picture) + " LIROVOX_LYRICS=" + Quote(SourcePath("examples/fra_martino.txt")) + " timeout 120 " +
        Quote(LIROVOX_BINARY) + " " + Quote(SourcePath("examples/fra_martino.mid")));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("screenshot="), std::string::npos) << r.out;
    QImage image(QString::fromStdString(picture));
    ASSERT_FALSE(image.isNull());
    // The karaoke view lit the first syllable in red: some pure red pixels are there.
    int red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) red += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
    }
    EXPECT_GT(red, 20);
}

TEST(WindowProgramTest, WithoutADisplayItSaysSo) {
    const RunResult r = RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ASAN_OPTIONS=detect_leaks=0 " +
                                   Quote(LIROVOX_BINARY) + " " + Quote(SourcePath("examples/fra_martino.mid")));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no display"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace lirovox::test
