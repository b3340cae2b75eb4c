// The channel strip (mute, solo, the instrument list) and the note preview with its
// cut-off by `Timer2`, through the panel over the fake engine.

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "playback_fixture.h"

namespace lirovox::test {
namespace {

std::vector<std::string> Sends(const std::vector<std::string>& calls) {
    std::vector<std::string> sends;
    for (const std::string& c : calls) {
        if (c.rfind("Send ", 0) == 0) sends.push_back(c.substr(5));
    }
    return sends;
}

std::string Volume(int channel, int value) {
    return "B0 " + std::to_string(channel) + " 7 " + std::to_string(value);
}

TEST(PlaybackStrip, MuteAndSoloSendVolumesAndShowTheirLabels) {
    PanelRig rig;
    app::PlaybackPanel& p = *rig.panel;

    QTest::mouseClick(p.BtnMute(), Qt::LeftButton);
    EXPECT_EQ(Sends(rig.TakeCalls()), std::vector<std::string>{Volume(3, 0)});
    EXPECT_EQ(p.LabPar(7)->text(), "Mute");
    QTest::mouseClick(p.BtnMute(), Qt::LeftButton);
    EXPECT_EQ(Sends(rig.TakeCalls()), std::vector<std::string>{Volume(3, 90)});
    EXPECT_EQ(p.LabPar(7)->text(), "");

    // Solo on: every channel silenced, then the melody at its own volume; clears a mute.
    QTest::mouseClick(p.BtnMute(), Qt::LeftButton);
    rig.TakeCalls();
    QTest::mouseClick(p.BtnSolo(), Qt::LeftButton);
    std::vector<std::string> expected;
    for (int c = 0; c < 16; ++c) expected.push_back(Volume(c, 0));
    expected.push_back(Volume(3, 90));
    EXPECT_EQ(Sends(rig.TakeCalls()), expected);
    EXPECT_EQ(p.LabPar(6)->text(), "Solo");
    EXPECT_EQ(p.LabPar(7)->text(), "");

    // Mute while the solo is on changes nothing, not even the label.
    QTest::mouseClick(p.BtnMute(), Qt::LeftButton);
    EXPECT_TRUE(Sends(rig.TakeCalls()).empty());
    EXPECT_EQ(p.LabPar(7)->text(), "");

    // Solo off: every channel back to the file's volume.
    QTest::mouseClick(p.BtnSolo(), Qt::LeftButton);
    expected.clear();
    for (int c = 0; c < 16; ++c) expected.push_back(Volume(c, c == 3 ? 90 : 100 + c));
    EXPECT_EQ(Sends(rig.TakeCalls()), expected);
    EXPECT_EQ(p.LabPar(6)->text(), "");

    // Play re-applies a mute; stop clears the flags without a volume message.
    QTest::mouseClick(p.BtnMute(), Qt::LeftButton);
    rig.TakeCalls();
    p.Play();
    EXPECT_EQ(Sends(rig.TakeCalls()), std::vector<std::string>{Volume(3, 0)});
    p.Stop();
    expected.clear();
    for (int c = 0; c < 16; ++c) expected.push_back("B0 " + std::to_string(c) + " 120 0");
    EXPECT_EQ(Sends(rig.TakeCalls()), expected);  // All Sound Off only
    EXPECT_EQ(p.LabPar(7)->text(), "");
}

TEST(PlaybackStrip, TheInstrumentListOpensFromTheStripAndClosesOnRelease) {
    PanelRig rig;
    app::PlaybackPanel& p = *rig.panel;
    rig.window->show();
    QListWidget* list3 = p.List3();

    QTest::mouseClick(p.LabPar(4), Qt::LeftButton);  // any element of the strip
    ASSERT_TRUE(list3->isVisible());
    EXPECT_EQ(list3->parentWidget(), rig.window.get());  // drawn over the window

    QListWidgetItem* violin = list3->item(40);
    list3->scrollToItem(violin);
    const QPoint at = list3->visualItemRect(violin).center();
    QTest::mousePress(list3->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(Sends(rig.TakeCalls()), std::vector<std::string>{"C0 3 40 0"});
    EXPECT_EQ(p.LabPar(1)->text(), "Violin");
    EXPECT_TRUE(list3->isVisible());
    QTest::mouseRelease(list3->viewport(), Qt::LeftButton, {}, at);
    EXPECT_FALSE(list3->isVisible());

    // A stop shows the file's own instrument again.
    p.Stop();
    EXPECT_EQ(p.LabPar(1)->text(), "Acoustic Grand");
}

TEST(PlaybackPreview, ThePreviewNoteEndsAtTheNextTimer2Tick) {
    PanelRig rig;
    app::PlaybackPanel& p = *rig.panel;

    p.PreviewNote(1);
    EXPECT_EQ(Sends(rig.TakeCalls()), std::vector<std::string>{"90 3 61 80"});
    EXPECT_TRUE(p.Timer2()->isActive());
    p.Timer2Tick();
    EXPECT_EQ(Sends(rig.TakeCalls()), std::vector<std::string>{"B0 3 120 0"});
    EXPECT_FALSE(p.Timer2()->isActive());

    // A record without a note (a line break) and one outside the table sound nothing.
    p.PreviewNote(3);
    p.PreviewNote(99);
    p.PreviewNote(-1);
    EXPECT_TRUE(rig.TakeCalls().empty());
    EXPECT_FALSE(p.Timer2()->isActive());

    // While the song plays the tick leaves the sound alone; play turns the timer off.
    p.PreviewNote(2);
    p.Play();
    EXPECT_FALSE(p.Timer2()->isActive());
    p.PreviewNote(2);
    rig.TakeCalls();
    p.Timer2Tick();
    EXPECT_TRUE(Sends(rig.TakeCalls()).empty());
    p.Stop();
    EXPECT_FALSE(p.Timer2()->isActive());
}

TEST(PlaybackPreview, TheRealTimerCutsThePreviewOff) {
    PanelRig rig;
    app::PlaybackPanel& p = *rig.panel;
    p.PreviewNote(0);
    rig.TakeCalls();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !p.Timer2()->isActive(); }, 5000));
    EXPECT_EQ(Sends(rig.TakeCalls()), std::vector<std::string>{"B0 3 120 0"});
}

}  // namespace
}  // namespace lirovox::test
