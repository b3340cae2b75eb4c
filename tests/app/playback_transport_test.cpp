// Forward and rewind on the pointer press, the go-to box opened from `Label10`, and the
// tempo bar with the `Label9` reset, through the panel over the fake engine.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

#include "playback_fixture.h"

namespace lirovox::test {
namespace {

int Count(const std::vector<std::string>& calls, const std::string& call) {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

uint32_t LampOf(const app::PlaybackPanel& panel) {
    return panel.ImgPlayLed()->palette().color(QPalette::Window).rgb() & 0xFFFFFFu;
}

struct JumpCase {
    const char* name;
    bool forward;
    int32_t position;   // play position at the press
    bool restarts;      // the song starts again at position +/- 6074
    int32_t lyricIndex; // LyricIndex after a restart
};

TEST(PlaybackTransport, JumpsInsideAndOutsideTheSong) {
    const JumpCase cases[] = {
        // 1000 + 6074 = 7074 -> 4605 ms: the next entry is record 10 (5000 ms).
        {"forward inside", true, 1000, true, 9},
        // Past the end of the song: stopped.
        {"forward past the end", true, 20000, false, 0},
        // Inside the song but past the second-to-last note (5000 ms): stopped.
        {"forward past the last notes", true, 3000, false, 0},
        // 9000 - 6074 = 2926 -> 1905 ms: the next entry is record 4 (2000 ms).
        {"rewind inside", false, 9000, true, 3},
        // Within the first 6074 units: stopped.
        {"rewind before the start", false, 3000, false, 0},
    };
    for (const JumpCase& c : cases) {
        PanelRig rig;
        app::PlaybackPanel& p = *rig.panel;
        p.Play();
        rig.engine.Position = c.position;
        rig.engine.ClearCalls();

        QTest::mousePress(c.forward ? p.BtnFwd() : p.BtnRew(), Qt::LeftButton);
        const std::vector<std::string> calls = rig.TakeCalls();
        const int32_t target = c.forward ? c.position + 6074 : c.position - 6074;
        EXPECT_EQ(Count(calls, "Send B0 3 120 0"), 1) << c.name;
        EXPECT_EQ(Count(calls, "Stop"), 1) << c.name;
        EXPECT_EQ(rig.playback.State().ResumePos, c.position - 100) << c.name;
        EXPECT_FALSE(rig.playback.State().Playing) << c.name;
        if (c.restarts) {
            EXPECT_EQ(Count(calls, "SetStartPoint " + std::to_string(target)), 1) << c.name;
            EXPECT_EQ(Count(calls, "Start"), 1) << c.name;
            EXPECT_TRUE(p.Timer1()->isActive()) << c.name;
            EXPECT_EQ(LampOf(p), playback::kLampPlaying) << c.name;
            EXPECT_EQ(rig.playback.State().LyricIndex, c.lyricIndex) << c.name;
            // The cursor stands on the first note at or after the target.
            EXPECT_EQ(rig.score->Cursor().X, rig.notePos[static_cast<size_t>(c.lyricIndex + 1)].X) << c.name;
        } else {
            EXPECT_EQ(Count(calls, "Start"), 0) << c.name;
            EXPECT_FALSE(p.Timer1()->isActive()) << c.name;
            // Play resumes from 100 units before the press.
            p.Play();
            EXPECT_EQ(Count(rig.TakeCalls(), "SetStartPoint " + std::to_string(c.position - 100)), 1) << c.name;
        }
    }
}

TEST(PlaybackTransport, AJumpActsOncePerPressOfAnyButton) {
    PanelRig rig;
    app::PlaybackPanel& p = *rig.panel;
    // Disabled until the song plays.
    QTest::mousePress(p.BtnFwd(), Qt::LeftButton);
    QTest::mouseRelease(p.BtnFwd(), Qt::LeftButton);
    EXPECT_TRUE(rig.TakeCalls().empty());

    p.Play();
    rig.engine.Position = 1000;
    rig.engine.ClearCalls();
    QTest::mousePress(p.BtnFwd(), Qt::RightButton);
    QTest::mouseRelease(p.BtnFwd(), Qt::RightButton);
    EXPECT_EQ(Count(rig.TakeCalls(), "Start"), 1);

    rig.engine.Position = 9000;
    QTest::mousePress(p.BtnRew(), Qt::LeftButton);
    QTest::mouseRelease(p.BtnRew(), Qt::LeftButton);
    EXPECT_EQ(Count(rig.TakeCalls(), "SetStartPoint 2926"), 1);
}

struct GoToCase {
    const char* typed;
    int32_t startsAt;  // -1: the song stays paused
};

TEST(PlaybackTransport, GoToBoxTakesANumberANegativeNumberOrText) {
    const int32_t paused = 5000;
    const GoToCase cases[] = {
        {"2", 2 * 3072},        // the first beat of the bar shown as 3
        {"-1", paused - 100},   // a negative number keeps the paused position
        {"abc", 0},             // no number: the beginning
        {" 1.5", 4608},         // a fraction of a bar
        {"12", -1},             // past the end: stays paused
    };
    for (const GoToCase& c : cases) {
        PanelRig rig;
        app::PlaybackPanel& p = *rig.panel;
        rig.window->show();
        QLabel* label10 = p.Label10();

        // Disabled before the song plays: the click does nothing.
        QTest::mouseClick(label10, Qt::LeftButton);
        EXPECT_FALSE(p.TxtGoTo()->isVisible()) << c.typed;

        p.Play();
        rig.engine.Position = paused;
        QTest::mouseClick(label10, Qt::LeftButton);
        ASSERT_TRUE(p.TxtGoTo()->isVisible()) << c.typed;
        rig.engine.ClearCalls();

        QTest::keyClicks(p.TxtGoTo(), QString::fromLatin1(c.typed));
        QTest::keyClick(p.TxtGoTo(), Qt::Key_Return);
        const std::vector<std::string> calls = rig.TakeCalls();
        EXPECT_FALSE(p.TxtGoTo()->isVisible()) << c.typed;
        EXPECT_TRUE(p.TxtGoTo()->text().isEmpty()) << c.typed;
        EXPECT_EQ(Count(calls, "Send B0 0 120 0"), 1) << c.typed;  // paused first
        if (c.startsAt >= 0) {
            EXPECT_EQ(Count(calls, "SetStartPoint " + std::to_string(c.startsAt)), 1) << c.typed;
            EXPECT_EQ(Count(calls, "Start"), 1) << c.typed;
            EXPECT_TRUE(p.Timer1()->isActive()) << c.typed;
        } else {
            EXPECT_EQ(Count(calls, "Start"), 0) << c.typed;
            EXPECT_FALSE(p.Timer1()->isActive()) << c.typed;
            EXPECT_EQ(LampOf(p), playback::kLampPaused) << c.typed;
        }
    }
}

TEST(PlaybackTransport, GoToBoxHidesOnEscapeAndOnLossOfFocus) {
    PanelRig rig;
    app::PlaybackPanel& p = *rig.panel;
    rig.window->show();
    QApplication::setActiveWindow(rig.window.get());
    p.Play();
    rig.engine.ClearCalls();

    QTest::mouseClick(p.Label10(), Qt::LeftButton);
    ASSERT_TRUE(p.TxtGoTo()->isVisible());
    QTest::keyClicks(p.TxtGoTo(), "3");
    QTest::keyClick(p.TxtGoTo(), Qt::Key_Escape);
    EXPECT_FALSE(p.TxtGoTo()->isVisible());
    EXPECT_TRUE(p.TxtGoTo()->text().isEmpty());

    QTest::mouseClick(p.Label10(), Qt::LeftButton);
    ASSERT_TRUE(p.TxtGoTo()->isVisible());
    p.TxtGoTo()->setFocus();
    p.BtnPlay()->setFocus();
    EXPECT_FALSE(p.TxtGoTo()->isVisible());
    EXPECT_TRUE(rig.TakeCalls().empty());  // neither went anywhere
}

TEST(PlaybackTransport, TempoBarAndLabel9Reset) {
    PanelRig rig;
    app::PlaybackPanel& p = *rig.panel;
    p.Speed()->setValue(150);
    EXPECT_EQ(rig.TakeCalls(), std::vector<std::string>{"Tempo 1.5"});
    EXPECT_EQ(p.Label9()->text(), "170");

    p.Speed()->setValue(80);
    EXPECT_EQ(rig.TakeCalls(), std::vector<std::string>{"Tempo 0.8"});
    EXPECT_EQ(p.Label9()->text(), "100");

    QTest::mouseClick(p.Label9(), Qt::LeftButton);
    EXPECT_EQ(rig.TakeCalls(), std::vector<std::string>{"Tempo 1"});
    EXPECT_EQ(p.Speed()->value(), 100);
    EXPECT_EQ(p.Label9()->text(), "120");

    // The bar's ends hold the tempo inside its range.
    p.Speed()->setValue(1000);
    EXPECT_EQ(p.Speed()->value(), playback::kSpeedMax);
    EXPECT_EQ(rig.TakeCalls(), std::vector<std::string>{"Tempo 2"});
}

}  // namespace
}  // namespace lirovox::test
