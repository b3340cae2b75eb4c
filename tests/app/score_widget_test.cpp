// The score view's widgets: what they report for presses and keys, and what they show.

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "score/layout.h"
#include "score/qt/score_widget.h"
#include "smf/song.h"

namespace lirovox::score::qt {
namespace {

std::shared_ptr<const ScoreLayout> LayoutOf(int notes) {
    Song s;
    s.Division = 480;
    s.TicksPerBar = 1920;
    s.MelodyNotes.clear();
    for (int i = 0; i < notes; ++i) {
        NoteRec r;
        r.Note = 64;
        r.Tick = 480.0 * i;
        s.MelodyNotes.push_back(r);
    }
    s.Notes = s.MelodyNotes;
    return std::make_shared<const ScoreLayout>(PutInScore(s, true));
}

TEST(ScoreWidget, PressesAreReportedInScoreCoordinates) {
    ScoreFrame frame;
    frame.SetLayout(LayoutOf(100));
    ScoreWidget* score = frame.Score();
    QSignalSpy pressed(score, &ScoreWidget::scorePressed);
    QTest::mousePress(score, Qt::LeftButton, {}, QPoint(70, 40));
    score->SetPage(2);
    QTest::mousePress(score, Qt::RightButton, {}, QPoint(70, 160));
    ASSERT_EQ(pressed.count(), 2);
    EXPECT_DOUBLE_EQ(pressed.at(0).at(0).toDouble(), 70.0);
    EXPECT_DOUBLE_EQ(pressed.at(0).at(1).toDouble(), 40.0);
    EXPECT_DOUBLE_EQ(pressed.at(1).at(0).toDouble(), 70.0 + 2 * 588);
    EXPECT_DOUBLE_EQ(pressed.at(1).at(1).toDouble(), 160.0);
}

TEST(ScoreWidget, KeysAreReportedWithTheirCodes) {
    ScoreWidget score;
    QSignalSpy keys(&score, &ScoreWidget::scoreKeyPressed);
    for (Qt::Key k : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Home, Qt::Key_End, Qt::Key_A, Qt::Key_F5}) {
        QTest::keyClick(&score, k);
    }
    ASSERT_EQ(keys.count(), 6);
    const int expected[] = {39, 37, 36, 35, 65, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(keys.at(i).at(0).toInt(), expected[i]) << i;
}

TEST(ScoreWidget, ShowsThePageAndTheCursor) {
    ScoreFrame frame;
    frame.SetLayout(LayoutOf(100));
    EXPECT_EQ(frame.size(), QSize(54 + 588, 224));
    frame.Score()->SetCursor(600 + 32, 176);
    frame.Score()->SetPage(1);
    const QImage picture = frame.grab().toImage();
    // The cursor on row 2 of page 1 (x 632 of the score is x 44 of the page).
    const QRgb cursor = picture.pixel(54 + 44, 160);
    EXPECT_EQ(qRed(cursor), 255);
    EXPECT_EQ(qGreen(cursor), 0);
    // The staff heading's clef lies over its staff, and the staff lines run through.
    int dark = 0;
    for (int y = 16; y < 84; ++y) {
        if (y >= 32 && y <= 64 && y % 8 == 0) continue;  // staff lines
        for (int x = 2; x < 28; ++x) dark += qGray(picture.pixel(x, y)) < 128 ? 1 : 0;
    }
    EXPECT_GT(dark, 80);
    EXPECT_LT(qGray(picture.pixel(300, 144)), 128);
    EXPECT_EQ(picture.pixel(300, 100), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace lirovox::score::qt
