#include "score/qt/score_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "score/navigation.h"

namespace lirovox::score::qt {

int ScoreKeyCode(int qtKey) {
    switch (qtKey) {
        case Qt::Key_PageUp: return 33;
        case Qt::Key_PageDown: return 34;
        case Qt::Key_End: return kKeyEnd;
        case Qt::Key_Home: return kKeyHome;
        case Qt::Key_Left: return kKeyLeft;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return kKeyRight;
        case Qt::Key_Down: return 40;
        default: break;
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        return qtKey;  // Qt numbers these keys by their upper case character
    }
    return 0;
}

ScoreWidget::ScoreWidget(QWidget* parent)
    : QWidget(parent), layout_(std::make_shared<const ScoreLayout>()) {
    setFixedSize(kScorePageWidth, kVisibleHeight);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScoreWidget::SetLayout(std::shared_ptr<const ScoreLayout> layout) {
    layout_ = layout ? std::move(layout) : std::make_shared<const ScoreLayout>();
    index_ = MarkIndex(layout_->Marks);
    update();
}

void ScoreWidget::SetPage(int page) {
    if (page == page_) return;
    page_ = page;
    update();
}

void ScoreWidget::SetCursor(double x, int bottom) {
    if (x == cursor_.X && bottom == cursor_.Bottom) return;
    // Repaint the strips under the old and the new cursor only.
    const int left = page_ * kScorePageWidth;
    update(QRect(static_cast<int>(cursor_.X) - left - 3, 0, 7, height()));
    cursor_ = CursorLine{x, bottom};
    update(QRect(static_cast<int>(x) - left - 3, 0, 7, height()));
}

void ScoreWidget::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect dirty = event->rect();
    PaintScore(p, *layout_, index_, page_ * kScorePageWidth, width(), height(), cursor_, scratch_, &dirty);
}

void ScoreWidget::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPointF pos = event->position();
    emit scorePressed(pos.x() + static_cast<double>(page_) * kScorePageWidth, pos.y());
}

void ScoreWidget::keyPressEvent(QKeyEvent* event) {
    emit scoreKeyPressed(ScoreKeyCode(event->key()));
}

StaffHeadingWidget::StaffHeadingWidget(QWidget* parent) : QWidget(parent) {
    setFixedSize(kHeadingWidth, kVisibleHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StaffHeadingWidget::SetItems(std::vector<HeadingItem> items) {
    items_ = std::move(items);
    update();
}

void StaffHeadingWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintHeading(p, items_, width(), height());
}

ScoreFrame::ScoreFrame(QWidget* parent)
    : QWidget(parent), heading_(new StaffHeadingWidget(this)), score_(new ScoreWidget(this)) {
    setFixedSize(kHeadingWidth + kScorePageWidth, kVisibleHeight);
    heading_->move(0, 0);
    score_->move(kHeadingWidth, 0);
}

void ScoreFrame::SetLayout(std::shared_ptr<const ScoreLayout> layout) {
    heading_->SetItems(layout ? layout->Heading : std::vector<HeadingItem>{});
    score_->SetLayout(std::move(layout));
}

}  // namespace lirovox::score::qt
