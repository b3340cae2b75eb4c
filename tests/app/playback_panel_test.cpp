// The playback panel over the fake engine: transport with the lamp and the position
// labels, the timers' ticks on the karaoke view and the score cursor, the jumps, the go-to
// box, the tempo bar, the channel strip and the note preview.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

#include "playback_fixture.h"

namespace lirovox::test {
namespace {

using playback::kLampPaused;
using playback::kLampPlaying;
using playback::kLampStopped;

uint32_t LampOf(const app::PlaybackPanel& panel) {
    return panel.ImgPlayLed()->palette().color(QPalette::Window).rgb() & 0xFFFFFFu;
}

std::string Text(const QLabel* label) { return label->text().toStdString(); }

int Count(const std::vector<std::string>& calls, const std::string& call) {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

// The call list holds `call` and, after it, `then`.
bool InOrder(const std::vector<std::string>& calls, const std::string& call, const std::string& then) {
    auto a = std::find(calls.begin(), calls.end(), call);
    return a != calls.end() && std::find(a + 1, calls.end(), then) != calls.end();
}

std::vector<std::string> AllSoundOffEverywhere() {
    std::vector<std::string> calls;
    for (int c = 0; c < 16; ++c) calls.push_back("Send B0 " + std::to_string(c) + " 120 0");
    return calls;
}

TEST(PlaybackPanel, ControlsCarryTheirNamesAndTimersTheirIntervals) {
    PanelRig rig;
    for (const char* name : {"BtnPlay", "BtnPause", "BtnStop", "BtnFwd", "BtnRew", "BtnMute", "BtnSolo",
                             "ImgPlayLed", "Label8", "Label9", "Label10", "TxtGoTo", "Speed", "List3",
                             "List4", "Timer1", "Timer2", "Label1", "Label6"}) {
        EXPECT_NE(rig.window->findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
    }
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(rig.panel->findChild<QLabel*>(QStringLiteral("LabPar%1").arg(i)), rig.panel->LabPar(i));
        EXPECT_EQ(rig.panel->LabPar(i)->property("Index").toInt(), i);
    }

    const char* captions[6] = {"Instr.", "Volume", "Reverb", "Chorus", "Pan", "Channel"};
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(Text(rig.panel->Caption(n)), captions[n - 1]);
    EXPECT_EQ(rig.panel->BtnPlay()->text(), "Play");
    EXPECT_EQ(rig.panel->BtnMute()->text(), "Mute");

    EXPECT_EQ(rig.panel->Timer1()->interval(), 4);
    EXPECT_EQ(rig.panel->Timer1()->timerType(), Qt::PreciseTimer);
    EXPECT_EQ(rig.panel->Timer2()->interval(), 200);
    EXPECT_EQ(rig.panel->List3()->count(), 128);
    EXPECT_EQ(rig.panel->List3()->item(40)->text(), "Violin");
    EXPECT_EQ(rig.panel->List4()->item(25)->text(), "TR-808 Drum");
    EXPECT_TRUE(rig.panel->List4()->item(1)->text().isEmpty());
}

TEST(PlaybackPanel, LoadShowsTheStripAndTheStoppedState) {
    PanelRig rig;
    app::PlaybackPanel& p = *rig.panel;
    const std::vector<std::string> strip = {"4", "Acoustic Grand", "90", "30", "40", "64", "", ""};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Text(p.LabPar(i)), strip[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(Text(p.Label10()), "1 of 9");
    EXPECT_FALSE(p.Label10()->isEnabled());
    EXPECT_FALSE(p.BtnFwd()->isEnabled());
    EXPECT_FALSE(p.BtnRew()->isEnabled());
    EXPECT_EQ(Text(p.Label9()), "120");
    EXPECT_EQ(p.Speed()->value(), 100);
    EXPECT_EQ(LampOf(p), kLampStopped);
    EXPECT_FALSE(p.Timer1()->isActive());
}

TEST(PlaybackPanel, PlayPauseStopDriveTheLampLabelsAndTimer) {
    PanelRig rig;
    app::PlaybackPanel& p = *rig.panel;
    int selectedFirst = 0;
    int row2Cleared = 0;
    p.SetListHooks([&] { ++selectedFirst; }, [&] { ++row2Cleared; });

    QTest::mouseClick(p.BtnPlay(), Qt::LeftButton);
    EXPECT_EQ(LampOf(p), kLampPlaying);
    EXPECT_TRUE(p.Timer1()->isActive());
    EXPECT_TRUE(p.Label10()->isEnabled());
    EXPECT_TRUE(p.BtnFwd()->isEnabled());
    EXPECT_TRUE(p.BtnRew()->isEnabled());
    EXPECT_TRUE(InOrder(rig.TakeCalls(), "SetStartPoint 0", "Start"));

    // 2.6 s into the song: bar 2 of 9, two whole seconds.
    rig.engine.Position = MusicTimeAt(2600);
    p.Timer1Tick();
    EXPECT_EQ(Text(p.Label10()), "2 of 9");
    EXPECT_EQ(Text(p.Label8()), "00:02");

    QTest::mouseClick(p.BtnPause(), Qt::LeftButton);
    EXPECT_EQ(LampOf(p), kLampPaused);
    EXPECT_FALSE(p.Timer1()->isActive());
    std::vector<std::string> expected = AllSoundOffEverywhere();
    expected.push_back("Stop");
    EXPECT_EQ(rig.TakeCalls(), expected);
    EXPECT_EQ(Text(p.Label10()), "2 of 9");  // the paused position stays shown

    // Play resumes 100 units before the paused position.
    QTest::mouseClick(p.BtnPlay(), Qt::LeftButton);
    EXPECT_EQ(Count(rig.TakeCalls(), "SetStartPoint " + std::to_string(MusicTimeAt(2600) - 100)), 1);
    EXPECT_EQ(LampOf(p), kLampPlaying);

    QTest::mouseClick(p.BtnStop(), Qt::LeftButton);
    EXPECT_EQ(LampOf(p), kLampStopped);
    EXPECT_FALSE(p.Timer1()->isActive());
    EXPECT_EQ(Text(p.Label10()), "1 of 9");
    EXPECT_TRUE(InOrder(rig.TakeCalls(), "Stop", "SetStartPoint 0"));
    EXPECT_EQ(selectedFirst, 1);
    EXPECT_EQ(row2Cleared, 1);
    // The karaoke view shows the first three lines, unlit, and the cursor is back.
    const KaraokeFrame& f = rig.karaoke->Frame();
    ASSERT_EQ(f.Rows.size(), 3u);
    EXPECT_EQ(f.Rows[0].Runs.at(0).Text, "Hello world");
    EXPECT_FALSE(f.Rows[0].Runs.at(0).Highlight);
    EXPECT_EQ(rig.score->Cursor().X, 32);
    EXPECT_EQ(rig.score->Cursor().Bottom, 64);
}

TEST(PlaybackPanel, TicksThatChangeNothingShownStopAtThePanel) {
    PanelRig rig;
    app::PlaybackPanel& p = *rig.panel;
    std::vector<playback::PlaybackUpdate> delivered;
    p.SetUpdateSink([&](const playback::PlaybackUpdate& u) {
        delivered.push_back(u);
        p.Show(u);
    });
    p.Play();
    rig.engine.Position = 0;
    p.Timer1Tick();  // lights "Hel" and moves the cursor to the first note
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_TRUE(delivered.back().Karaoke.has_value());

    rig.engine.Position = 100;  // nothing new is due, the texts stay
    p.Timer1Tick();
    p.Timer1Tick();
    EXPECT_EQ(delivered.size(), 2u);

    rig.engine.Position = MusicTimeAt(1000);  // one second later: the time text changes
    p.Timer1Tick();
    ASSERT_EQ(delivered.size(), 3u);
    EXPECT_EQ(Text(p.Label8()), "00:01");
}

TEST(PlaybackPanel, CommandsBeforeALoadDoNothing) {
    PanelRig rig(/*load=*/false);
    app::PlaybackPanel& p = *rig.panel;
    QTest::mouseClick(p.BtnPlay(), Qt::LeftButton);
    QTest::mouseClick(p.BtnStop(), Qt::LeftButton);
    QTest::mouseClick(p.BtnMute(), Qt::LeftButton);
    QTest::mouseClick(p.LabPar(1), Qt::LeftButton);
    p.Speed()->setValue(150);
    EXPECT_TRUE(rig.engine.Calls.empty());
    EXPECT_EQ(LampOf(p), kLampStopped);
    EXPECT_FALSE(p.Timer1()->isActive());
    EXPECT_FALSE(p.List3()->isVisible());
    EXPECT_EQ(p.Speed()->value(), 100);  // the refused move springs back
}

}  // namespace
}  // namespace lirovox::test
