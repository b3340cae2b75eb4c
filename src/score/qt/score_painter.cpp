#include "score/qt/score_painter.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace lirovox::score::qt {

namespace {

constexpr char kSymbolFontFile[] = "/usr/share/fonts/truetype/freefont/FreeSerif.ttf";
constexpr char kSymbolFamily[] = "FreeSerif";
constexpr char32_t kSharpSign = 0x266F;
constexpr char32_t kNaturalSign = 0x266E;
constexpr char32_t kGClef = 0x1D11E;

constexpr double kAccidentalHeight = 20;  // two and a half staff spaces
constexpr double kClefHeight = 60;
constexpr double kClefTopBelowText = 7;   // the curl then sits on the G line
constexpr double kClefLeftOfText = 6;
constexpr int kStaffLineCount = 5;
constexpr int kRowStaffTops[2] = {kRow1StaffTop, kRow1StaffTop + kRow2OffsetY};

// A shape scaled to its drawing size, placed with its bounding box centred on (0, 0).
QPainterPath Centred(const QPainterPath& path, double height) {
    const QRectF box = path.boundingRect();
    if (box.height() <= 0) return path;
    const double k = height / box.height();
    QTransform t;
    t.scale(k, k);
    t.translate(-box.center().x(), -box.center().y());
    return t.map(path);
}

// The outline of one character of the symbol font, or an empty path when the font
// lacks it.
QPainterPath SymbolOutline(const QFont& font, char32_t ucs4) {
    QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid() || !raw.supportsCharacter(ucs4)) return {};
    QPainterPath path;
    path.addText(QPointF(0, 0), font, QString::fromUcs4(&ucs4, 1));
    return path;
}

// Plain vector shapes for a symbol font that lacks a glyph.
// The whole-note head: an oval with a hollow tilted the way engravers draw it. Drawn
// as a shape rather than taken from the font, whose head keeps too small a hollow at
// this size to read as a whole note.
QPainterPath HeadShape() {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addEllipse(QPointF(0, 0), kHeadWidth / 2, kHeadHeight / 2);
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), 2.0, 3.3);
    path.addPath(QTransform().rotate(55).map(hole));
    return path;
}

QPainterPath FallbackSharp() {
    QPainterPath path;
    path.addRect(-2.5, -11, 1, 22);
    path.addRect(1.5, -11, 1, 22);
    QPolygonF bar;
    bar << QPointF(-4, -2) << QPointF(4, -5) << QPointF(4, -3) << QPointF(-4, 0);
    path.addPolygon(bar);
    path.addPolygon(QTransform().translate(0, 6).map(bar));
    return path;
}

QPainterPath FallbackNatural() {
    QPainterPath path;
    path.addRect(-3, -11, 1, 16);
    path.addRect(2, -5, 1, 16);
    QPolygonF bar;
    bar << QPointF(-3, -3) << QPointF(3, -5) << QPointF(3, -3) << QPointF(-3, -1);
    path.addPolygon(bar);
    path.addPolygon(QTransform().translate(0, 6).map(bar));
    return path;
}

class Glyphs {
public:
    static const Glyphs& Get() {
        static const Glyphs glyphs;
        return glyphs;
    }

    QPainterPath head;     // centred on the head's centre
    QPainterPath sharp;    // centred
    QPainterPath natural;  // centred
    QPainterPath clef;     // top-left corner at (0, 0)
    QFont barNumberFont;
    double barNumberBaseline = 44;  // below the text position
    QFont syllableFont;
    double syllableAscent = 10;
    QFont signatureFont;
    double signatureDigitHeight = 15;

private:
    Glyphs() {
        QString family = kSymbolFamily;
        if (!QFontDatabase::families().contains(family) && QFile::exists(kSymbolFontFile)) {
            const int id = QFontDatabase::addApplicationFont(kSymbolFontFile);
            const QStringList added = QFontDatabase::applicationFontFamilies(id);
            if (!added.isEmpty()) family = added.front();
        }
        QFont symbols(family);
        symbols.setPixelSize(100);
        head = HeadShape();
        QPainterPath s = SymbolOutline(symbols, kSharpSign);
        sharp = Centred(s.isEmpty() ? FallbackSharp() : s, kAccidentalHeight);
        QPainterPath n = SymbolOutline(symbols, kNaturalSign);
        natural = Centred(n.isEmpty() ? FallbackNatural() : n, kAccidentalHeight);
        QPainterPath c = SymbolOutline(symbols, kGClef);
        if (c.isEmpty()) {
            QFont serif(family);
            serif.setPixelSize(100);
            serif.setBold(true);
            c.addText(QPointF(0, 0), serif, QStringLiteral("G"));
        }
        clef = Centred(c, kClefHeight);
        clef.translate(-clef.boundingRect().topLeft());

        barNumberFont = QFont(family);
        barNumberFont.setPixelSize(13);
        barNumberFont.setBold(true);

        syllableFont = QFont();
        syllableFont.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
        syllableFont.setPixelSize(11);  // 8 points at 96 dots per inch
        syllableAscent = QFontMetricsF(syllableFont).ascent();

        signatureFont = QFont(family);
        signatureFont.setPixelSize(22);
        signatureFont.setBold(true);
        signatureDigitHeight =
            QFontMetricsF(signatureFont).tightBoundingRect(QStringLiteral("0123456789")).height();
    }
};

void FillAt(QPainter& p, const QPainterPath& path, double x, double y) {
    p.translate(x, y);
    p.drawPath(path);
    p.translate(-x, -y);
}

void DrawTextMark(QPainter& p, const Glyphs& g, const ScoreMark& m) {
    const double tx = m.X;
    const double ty = m.Y;
    if (m.Font == MarkFont::Arial) {
        p.setFont(g.syllableFont);
        p.drawText(QPointF(tx, ty + g.syllableAscent), QString::fromLatin1(m.Text.data(),
                                                                          static_cast<qsizetype>(m.Text.size())));
        return;
    }
    if (m.Size != 16) {  // bar numbers
        p.setFont(g.barNumberFont);
        p.drawText(QPointF(tx, ty + g.barNumberBaseline), QString::fromLatin1(m.Text.c_str()));
        return;
    }
    if (m.Text == "w") {
        p.setRenderHint(QPainter::Antialiasing, true);
        FillAt(p, g.head, tx + kHeadCentreDx, ty + kHeadCentreDy);
        p.setRenderHint(QPainter::Antialiasing, false);
    } else if (m.Text == "#" || m.Text == "n") {
        p.setRenderHint(QPainter::Antialiasing, true);
        FillAt(p, m.Text == "#" ? g.sharp : g.natural, tx + kAccidentalDx, ty + kHeadCentreDy);
        p.setRenderHint(QPainter::Antialiasing, false);
    } else if (m.Text == "|") {
        // A bar line from the text position down across the four spaces of the staff.
        p.fillRect(QRectF(tx + kBarLineDx, ty, 1, 4 * kStaffSpace + 1), Qt::black);
    } else if (m.Text == "\\") {
        // The final bar: a thin and a thick stroke across the staff of row 2.
        p.fillRect(QRectF(tx + 1, ty - 1, 1, 4 * kStaffSpace + 1), Qt::black);
        p.fillRect(QRectF(tx + 4, ty - 1, 3, 4 * kStaffSpace + 1), Qt::black);
    } else {
        p.setFont(g.barNumberFont);
        p.drawText(QPointF(tx, ty + g.barNumberBaseline), QString::fromLatin1(m.Text.c_str()));
    }
}

void DrawStaves(QPainter& p, int x0, int x1) {
    if (x1 <= x0) return;
    for (int top : kRowStaffTops) {
        for (int i = 0; i < kStaffLineCount; ++i) {
            p.fillRect(QRect(x0, top + i * kStaffSpace, x1 - x0, 1), Qt::black);
        }
    }
}

}  // namespace

void PaintScore(QPainter& p, const ScoreLayout& layout, const MarkIndex& index, int scrollX,
                int width, int height, const std::optional<CursorLine>& cursor,
                std::vector<uint32_t>& scratch, const QRect* dirty) {
    const Glyphs& g = Glyphs::Get();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    // Only the part that needs it is painted again (a cursor move touches two thin strips).
    const QRect area = dirty ? dirty->intersected(QRect(0, 0, width, height)) : QRect(0, 0, width, height);
    p.fillRect(area, Qt::white);
    p.translate(-scrollX, 0);
    p.setClipRect(area.translated(scrollX, 0));
    const int x0 = scrollX + area.left();
    const int x1 = scrollX + area.left() + area.width();

    DrawStaves(p, std::max(0, x0), std::min(layout.StaffRight, x1));

    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::black);
    index.Query(x0, x1, scratch);
    for (uint32_t i : scratch) {
        const ScoreMark& m = layout.Marks[i];
        if (m.Kind == MarkKind::Line) {
            if (m.Y == m.Y2) {
                p.fillRect(QRect(std::min(m.X, m.X2), m.Y, std::abs(m.X2 - m.X) + 1, 1), Qt::black);
            } else {
                p.drawLine(QPoint(m.X, m.Y), QPoint(m.X2, m.Y2));
            }
        } else {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(Qt::black);
            DrawTextMark(p, g, m);
        }
    }

    if (cursor) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(255, 0, 0), 2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(cursor->X, cursor->Bottom), QPointF(cursor->X, cursor->Bottom - 32));
    }
    p.restore();
}

void PaintHeading(QPainter& p, const std::vector<HeadingItem>& items, int width, int height) {
    const Glyphs& g = Glyphs::Get();
    p.save();
    p.fillRect(QRect(0, 0, width, height), Qt::white);
    DrawStaves(p, 0, width);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const HeadingItem& item : items) {
        if (item.Text == "&") {
            p.setRenderHint(QPainter::Antialiasing, true);
            FillAt(p, g.clef, item.X - kClefLeftOfText, item.Y + kClefTopBelowText);
        } else {
            // Time signature digits: the numerator fills the upper half of the staff,
            // the denominator (15 pixels lower) the lower half.
            p.setPen(Qt::black);
            p.setFont(g.signatureFont);
            const double centreY = item.Y + 40;
            p.drawText(QPointF(item.X + 10, centreY + g.signatureDigitHeight / 2),
                       QString::fromLatin1(item.Text.c_str()));
            p.setPen(Qt::NoPen);
        }
    }
    p.restore();
}

QImage RenderScoreImage(const ScoreLayout& layout, std::optional<int> page) {
    const int scoreWidth = page ? kScorePageWidth : std::max(layout.Width, kScorePageWidth);
    const int64_t pixels = static_cast<int64_t>(scoreWidth + kHeadingWidth) * kVisibleHeight;
    if (pixels > (int64_t{1} << 28)) return {};
    QImage image(kHeadingWidth + scoreWidth, kVisibleHeight, QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(Qt::white);
    QPainter p(&image);
    PaintHeading(p, layout.Heading, kHeadingWidth, kVisibleHeight);
    p.translate(kHeadingWidth, 0);
    const MarkIndex index(layout.Marks);
    std::vector<uint32_t> scratch;
    const int scrollX = page ? *page * kScorePageWidth : 0;
    std::optional<CursorLine> cursor;
    if (layout.Drawn) cursor = CursorLine{};
    PaintScore(p, layout, index, scrollX, scoreWidth, kVisibleHeight, cursor, scratch);
    p.end();
    return image;
}

}  // namespace lirovox::score::qt
