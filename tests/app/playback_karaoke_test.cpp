// The karaoke view `PicKara` as the playback tick lights it: rendered to an image, the
// red pixels lie in the first row up to the current syllable and nowhere else.

#include <QFontMetrics>
#include <QImage>
#include <gtest/gtest.h>

#include "playback_fixture.h"

namespace lirovox::test {
namespace {

bool IsRed(QRgb c) { return qRed(c) > 140 && qRed(c) - qGreen(c) > 80 && qRed(c) - qBlue(c) > 80; }
bool IsDark(QRgb c) { return qRed(c) < 120 && qGreen(c) < 120 && qBlue(c) < 120; }

struct InkBox {
    int redCount = 0, redMinX = 1 << 20, redMaxX = -1, redMaxY = -1;
    int darkCount = 0, darkMinX = 1 << 20;
};

// Where red and dark ink lies within rows y0 <= y < y1 of the image.
InkBox Ink(const QImage& image, int y0, int y1) {
    InkBox box;
    for (int y = y0; y < std::min(y1, image.height()); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (IsRed(c)) {
                ++box.redCount;
                box.redMinX = std::min(box.redMinX, x);
                box.redMaxX = std::max(box.redMaxX, x);
                box.redMaxY = std::max(box.redMaxY, y);
            } else if (IsDark(c)) {
                ++box.darkCount;
                box.darkMinX = std::min(box.darkMinX, x);
            }
        }
    }
    return box;
}

int Advance(const playback::qt::KaraokeView& view, const char* text) {
    return QFontMetrics(playback::qt::KaraokeFont(view.FontPoints())).horizontalAdvance(QString::fromLatin1(text));
}

// Red from the line's start up to the end of `lit` (and beyond the end of `before`, the
// lit text one syllable earlier); dark ink after it in the first row when `plainRest`;
// dark ink in the rows below only when `lowerRows`.
void ExpectLitUpTo(const playback::qt::KaraokeView& view, const char* before, const char* lit, bool plainRest,
                   bool lowerRows) {
    const QImage image = view.RenderImage();
    const InkBox row0 = Ink(image, 0, 24);
    const InkBox below = Ink(image, 24, image.height());
    ASSERT_GT(row0.redCount, 0) << lit;
    EXPECT_LE(row0.redMinX, 3) << lit;
    EXPECT_GT(row0.redMaxX, Advance(view, before)) << lit;
    EXPECT_LE(row0.redMaxX, Advance(view, lit) + 1) << lit;
    EXPECT_EQ(below.redCount, 0) << lit;
    EXPECT_EQ(row0.darkCount > 0, plainRest) << lit;  // the unlit rest of the line
    if (plainRest) {
        EXPECT_GE(row0.darkMinX, Advance(view, lit) - 2) << lit;
    }
    EXPECT_EQ(below.darkCount > 0, lowerRows) << lit;
}

TEST(KaraokeView, DrawsLitAndPlainRunsAndFollowingRows) {
    PanelRig rig(/*load=*/false);
    playback::qt::KaraokeView& view = *rig.karaoke;
    EXPECT_EQ(view.objectName(), "PicKara");

    KaraokeFrame frame;
    frame.Rows.push_back({{{"Hello ", true}, {"world", false}}, 0, false, 0});
    view.ShowFrame(frame);
    ExpectLitUpTo(view, "Hell", "Hello ", /*plainRest=*/true, /*lowerRows=*/false);

    // A row that follows the previous one: one text line plus the gap below it.
    KaraokeFrame stacked;
    stacked.Rows.push_back({{{"one", false}}, 0, false, 0});
    stacked.Rows.push_back({{{"two", false}}, 0, true, 2});
    view.ShowFrame(stacked);
    const QImage image = view.RenderImage();
    const int lineHeight = QFontMetrics(playback::qt::KaraokeFont(view.FontPoints())).height();
    EXPECT_GT(Ink(image, 0, lineHeight).darkCount, 0);
    EXPECT_GT(Ink(image, lineHeight + 2, 2 * lineHeight + 2).darkCount, 0);

    view.Clear();
    const InkBox empty = Ink(view.RenderImage(), 0, view.height());
    EXPECT_EQ(empty.redCount + empty.darkCount, 0);
}

TEST(KaraokeView, FontFitsTheWidestLine) {
    PanelRig rig(/*load=*/false);
    playback::qt::KaraokeView& view = *rig.karaoke;
    EXPECT_EQ(view.FitFontToLines({"short line", ""}), 14);

    const std::string wide(120, 'W');
    const int size = view.FitFontToLines({"short", wide});
    EXPECT_LT(size, 14);
    EXPECT_GE(size, 1);
    const QFontMetrics fitted(playback::qt::KaraokeFont(size));
    EXPECT_LE(fitted.horizontalAdvance(QString::fromStdString(wide)), view.width() - 10);
    if (size > 1) {
        const QFontMetrics larger(playback::qt::KaraokeFont(size + 1));
        EXPECT_GT(larger.horizontalAdvance(QString::fromStdString(wide)), view.width() - 10);
    }
    // A new song starts again from 14 points.
    EXPECT_EQ(view.FitFontToLines({"short"}), 14);
}

TEST(KaraokeTicks, EachTickLightsAtMostOneFurtherSyllable) {
    PanelRig rig;
    app::PlaybackPanel& p = *rig.panel;
    p.Play();

    // At 0.5 s two entries are due; the first tick lights "Hel" only.
    rig.engine.Position = MusicTimeAt(500);
    p.Timer1Tick();
    ExpectLitUpTo(*rig.karaoke, "", "Hel", /*plainRest=*/true, /*lowerRows=*/true);
    p.Timer1Tick();
    ExpectLitUpTo(*rig.karaoke, "Hel", "Hello ", true, true);
    p.Timer1Tick();  // nothing more is due: the view keeps "lo " lit
    ExpectLitUpTo(*rig.karaoke, "Hel", "Hello ", true, true);
    // The score cursor followed: one note per tick, now on the second note.
    EXPECT_EQ(rig.score->Cursor().X, rig.notePos[1].X);

    // At 2.5 s: the line break moves to line 1, wholly unlit, then "se", then "cond ".
    rig.engine.Position = MusicTimeAt(2500);
    p.Timer1Tick();  // "world"
    p.Timer1Tick();  // the break
    const KaraokeFrame& atBreak = rig.karaoke->Frame();
    ASSERT_FALSE(atBreak.Rows.empty());
    EXPECT_TRUE(atBreak.Rows[0].Runs.at(0).Text.empty());
    EXPECT_EQ(atBreak.Rows[0].Runs.at(1).Text, "second line");
    p.Timer1Tick();
    p.Timer1Tick();
    ExpectLitUpTo(*rig.karaoke, "se", "second ", true, true);

    // The last line shows alone, with empty second and third rows.
    rig.engine.Position = MusicTimeAt(6000);
    for (int i = 0; i < 12; ++i) p.Timer1Tick();
    ExpectLitUpTo(*rig.karaoke, "", "end", /*plainRest=*/false, /*lowerRows=*/false);
}

}  // namespace
}  // namespace lirovox::test
