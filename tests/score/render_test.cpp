// Paints scores offscreen and checks where the mapped glyphs land: each mark is found as
// the pixels that change when that one mark is left out of the picture.

#include <QGuiApplication>
#include <QImage>
#include <QRect>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

#include "score/layout.h"
#include "score/qt/score_painter.h"
#include "score/score_songs.h"
#include "smf/reader.h"
#include "support/test_support.h"

namespace lirovox::score::qt {
namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QGuiApplication::instance() != nullptr) return;
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "test_score";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] const auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// The box of the pixels that differ between two pictures of the same size, and how many
// of them are dark in `withMark`.
struct Diff {
    QRect box;
    int dark = 0;
    int changed = 0;
};

Diff Compare(const QImage& withMark, const QImage& without) {
    Diff d;
    for (int y = 0; y < withMark.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(withMark.constScanLine(y));
        const QRgb* b = reinterpret_cast<const QRgb*>(without.constScanLine(y));
        for (int x = 0; x < withMark.width(); ++x) {
            if (a[x] == b[x]) continue;
            ++d.changed;
            if (qGray(a[x]) < 128) ++d.dark;
            d.box = d.box.united(QRect(x, y, 1, 1));
        }
    }
    return d;
}

// The pixels that mark `i` of the layout paints on page `page`. With `bareStaff` the
// staff lines are left out, so that none of the mark's pixels hides under them.
Diff MarkPixels(const ScoreLayout& layout, size_t i, int page, bool bareStaff = false) {
    ScoreLayout with = layout;
    if (bareStaff) with.StaffRight = 0;
    const QImage full = RenderScoreImage(with, page);
    ScoreLayout less = with;
    less.Marks.erase(less.Marks.begin() + static_cast<std::ptrdiff_t>(i));
    return Compare(full, RenderScoreImage(less, page));
}

QPointF Centre(const QRect& r) { return {r.left() + (r.width() - 1) / 2.0, r.top() + (r.height() - 1) / 2.0}; }

// Every note head painted on `page` has its centre at (text x + 3, text y + 37).
void CheckHeads(const ScoreLayout& layout, int page, int* checked) {
    const int x0 = page * kScorePageWidth;
    for (size_t i = 0; i < layout.Marks.size(); ++i) {
        const ScoreMark& m = layout.Marks[i];
        if (m.Kind != MarkKind::Text || m.Text != "w") continue;
        if (m.X - x0 < 8 || m.X - x0 > kScorePageWidth - 16) continue;
        const Diff d = MarkPixels(layout, i, page, true);
        ASSERT_GT(d.changed, 10) << "head " << i;
        EXPECT_GT(d.dark * 2, d.changed) << "head " << i << " is not drawn in black";
        const QPointF c = Centre(d.box);
        EXPECT_NEAR(c.x(), kHeadingWidth + m.X - x0 + 3, 1.0) << "head " << i;
        EXPECT_NEAR(c.y(), m.Y + 37, 1.0) << "head " << i;
        EXPECT_GE(d.box.height(), 7) << "head " << i;
        EXPECT_LE(d.box.height(), 11) << "head " << i;
        EXPECT_GE(d.box.width(), 9) << "head " << i;
        EXPECT_LE(d.box.width(), 16) << "head " << i;
        ++*checked;
    }
}

TEST(ScoreRendering, HeadsSitOnTheirStaffPositions) {
    // Row 1: E on the bottom line, F on the top line, C below the staff, B on the middle
    // line; row 2: the same notes 112 pixels lower.
    Song s = test::PlainSongOfPitches({64, 77, 60, 71, 64, 77, 60, 71});
    ScoreLayout layout = PutInScore(s, true);
    ASSERT_TRUE(layout.Drawn);
    const int expectedY[] = {64, 32, 72, 48, 64 + 112, 32 + 112, 72 + 112, 48 + 112};
    int k = 0;
    for (size_t i = 0; i < layout.Marks.size(); ++i) {
        const ScoreMark& m = layout.Marks[i];
        if (m.Kind != MarkKind::Text || m.Text != "w") continue;
        const Diff d = MarkPixels(layout, i, 0, true);
        EXPECT_NEAR(Centre(d.box).y(), expectedY[k], 1.0) << "note " << k;
        ++k;
    }
    EXPECT_EQ(k, 8);
}

TEST(ScoreRendering, AccidentalsBarLinesAndLedgerLines) {
    // C sharp (one ledger line) in bar 0, then C natural in bar 1.
    Song s = test::PlainSong({{61, 0}, {60, 1920}, {64, 2400}, {64, 2880}});
    ScoreLayout layout = PutInScore(s, true);
    QRect head1, sharp, natural, bar, ledger;
    for (size_t i = 0; i < layout.Marks.size(); ++i) {
        const ScoreMark& m = layout.Marks[i];
        if (m.Kind == MarkKind::Line && m.X < 40 && m.Y < 112) ledger = MarkPixels(layout, i, 0).box;
        if (m.Kind != MarkKind::Text) continue;
        if (m.Text == "w" && m.X == 32 && m.Y < 112) head1 = MarkPixels(layout, i, 0, true).box;
        if (m.Text == "#") sharp = MarkPixels(layout, i, 0).box;
        if (m.Text == "n") natural = MarkPixels(layout, i, 0).box;
        if (m.Text == "|" && m.X == 48) bar = MarkPixels(layout, i, 0).box;
    }
    ASSERT_FALSE(head1.isNull());
    ASSERT_FALSE(sharp.isNull());
    ASSERT_FALSE(natural.isNull());
    ASSERT_FALSE(bar.isNull());
    ASSERT_FALSE(ledger.isNull());
    // The sharp stands just left of its head, at its height.
    EXPECT_LT(sharp.right(), head1.left());
    EXPECT_GE(sharp.right(), head1.left() - 6);
    EXPECT_NEAR(Centre(sharp).y(), Centre(head1).y(), 2.0);
    // The natural stands left of the second note (x 64, row 1).
    EXPECT_LT(natural.right(), kHeadingWidth + 64);
    EXPECT_GT(natural.left(), kHeadingWidth + 40);
    // The bar line spans row 1's staff (its ends meet the top and bottom lines, which are
    // black already), between the two columns.
    EXPECT_EQ(bar.top(), 33);
    EXPECT_EQ(bar.bottom(), 63);
    EXPECT_EQ(bar.width(), 1);
    EXPECT_GT(bar.left(), head1.right());
    // The ledger line crosses the head.
    EXPECT_EQ(ledger.height(), 1);
    EXPECT_GE(ledger.top(), head1.top());
    EXPECT_LE(ledger.top(), head1.bottom());
    EXPECT_LT(ledger.left(), head1.left());
    EXPECT_GT(ledger.right(), head1.right());
}

TEST(ScoreRendering, DemoSongHeadsLandWhereTheLayoutPutsThem) {
    Song song = smf::ReadSong(test::SourcePath("examples/fra_martino.mid"));
    ScoreLayout layout = PutInScore(song, true);
    ASSERT_TRUE(layout.Drawn);
    int checked = 0;
    CheckHeads(layout, 0, &checked);
    CheckHeads(layout, 1, &checked);
    EXPECT_GT(checked, 30);
}

TEST(ScoreRendering, PictureSizesAndStaffLines) {
    Song s = test::PlainSongOfPitches(std::vector<int>(100, 64));
    ScoreLayout layout = PutInScore(s, true);
    const QImage page = RenderScoreImage(layout, 1);
    EXPECT_EQ(page.size(), QSize(kHeadingWidth + kScorePageWidth, kVisibleHeight));
    const QImage whole = RenderScoreImage(layout, std::nullopt);
    EXPECT_EQ(whole.width(), kHeadingWidth + layout.Width);
    // Staff lines run to the layout's staff end and no further.
    for (int y : {32, 40, 48, 56, 64, 144, 152, 160, 168, 176}) {
        EXPECT_LT(qGray(whole.pixel(kHeadingWidth + layout.StaffRight - 1, y)), 128) << y;
        EXPECT_LT(qGray(whole.pixel(10, y)), 128) << "heading staff " << y;
    }
    // The cursor: red, on the first note, across row 1's staff.
    const QRgb cursor = whole.pixel(kHeadingWidth + 32, 50);
    EXPECT_EQ(qRed(cursor), 255);
    EXPECT_EQ(qGreen(cursor), 0);
}

}  // namespace
}  // namespace lirovox::score::qt
