#include "playback/qt/karaoke_view.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace lirovox::playback::qt {

namespace {

// Points to pixels at 96 pixels per inch, the scale the view's geometry is given in.
int PointsToPixels(int points) { return std::max(1, (points * 96 + 36) / 72); }

}  // namespace

QFont KaraokeFont(int points) {
    QFont font;
    font.setFamilies({QString::fromLatin1(kKaraFontName), QStringLiteral("Liberation Sans")});
    font.setPixelSize(PointsToPixels(points));
    return font;
}

KaraokeView::KaraokeView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PicKara"));
    setFixedSize(kKaraWidth, kKaraHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(KaraokeFont(points_));
}

void KaraokeView::ShowFrame(KaraokeFrame frame) {
    frame_ = std::move(frame);
    update();
}

void KaraokeView::Clear() { ShowFrame(KaraokeFrame{}); }

int KaraokeView::FitFontToLines(const std::vector<std::string>& lines) {
    int points = kKaraFontSize;
    const int limit = width() - kKaraFitMargin;
    while (points > 1) {
        const QFontMetrics metrics(KaraokeFont(points));
        int widest = 0;
        for (const std::string& line : lines) {
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromLatin1(line.data(),
                                                                  static_cast<qsizetype>(line.size()))));
        }
        if (widest <= limit) break;
        --points;
    }
    points_ = points;
    setFont(KaraokeFont(points_));
    update();
    return points_;
}

QImage KaraokeView::RenderImage() const {
    QImage image(size(), QImage::Format_RGB32);
    QPainter p(&image);
    Paint(p);
    return image;
}

void KaraokeView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Paint(p);
}

void KaraokeView::Paint(QPainter& p) const {
    p.fillRect(QRect(QPoint(0, 0), size()), Qt::white);
    const QFont font = KaraokeFont(points_);
    p.setFont(font);
    const QFontMetrics metrics(font);
    // A row's y is the top of its text cell, as the rows are positioned.
    int y = 0;
    for (const KaraokeRow& row : frame_.Rows) {
        y = row.FollowsPrevious ? y + metrics.height() + row.Gap : row.Y;
        int x = 0;
        for (const KaraokeRun& run : row.Runs) {
            const QString text = QString::fromLatin1(run.Text.data(), static_cast<qsizetype>(run.Text.size()));
            if (text.isEmpty()) continue;
            p.setPen(run.Highlight ? kColorHighlight : kColorText);
            p.drawText(x, y + metrics.ascent(), text);
            x += metrics.horizontalAdvance(text);
        }
    }
}

}  // namespace lirovox::playback::qt
