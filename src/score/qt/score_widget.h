#pragma once
// The score view of the window: the score surface `PicScore` (a 588 x 224 window onto the
// laid-out score, scrolled page by page, with the red cursor `Line1`), the staff heading
// `Pic2` beside it, and a frame that holds both side by side.

#include <QWidget>
#include <memory>
#include <vector>

#include "score/layout.h"
#include "score/mark_index.h"
#include "score/qt/score_painter.h"

namespace lirovox::score::qt {

// Key codes of the score's keys as its handlers number them: 35 End, 36 Home, 37 Left,
// 38 Up, 39 Right, 40 Down, 33 Page Up, 34 Page Down, letters and digits as their upper
// case character; 0 for any other key.
int ScoreKeyCode(int qtKey);

class ScoreWidget : public QWidget {
    Q_OBJECT
public:
    explicit ScoreWidget(QWidget* parent = nullptr);

    // Shows a new layout (an undrawn one shows empty staves one page wide). The cursor and
    // the page stay as they are.
    void SetLayout(std::shared_ptr<const ScoreLayout> layout);
    const std::shared_ptr<const ScoreLayout>& Layout() const { return layout_; }

    // Scrolls so that the view shows score x from page * 588 (the surface's left edge
    // at 54 - page * 588 inside the frame).
    void SetPage(int page);
    int Page() const { return page_; }

    // Places the cursor `Line1` from (x, bottom) to (x, bottom - 32).
    void SetCursor(double x, int bottom);
    CursorLine Cursor() const { return cursor_; }

    QSize sizeHint() const override { return {kScorePageWidth, kVisibleHeight}; }

signals:
    // A pointer press, any button, at (x, y) in score surface coordinates (the page's
    // offset included): what `PicScore_MouseDown` takes.
    void scorePressed(double x, double y);
    // A key pressed while the score has the focus, as `ScoreKeyCode` numbers it: what
    // `PicScore_KeyDown` takes.
    void scoreKeyPressed(int keyCode);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::shared_ptr<const ScoreLayout> layout_;
    MarkIndex index_;
    std::vector<uint32_t> scratch_;
    int page_ = 0;
    CursorLine cursor_;
};

// The staff heading `Pic2`: clef and time signature at the head of both staves.
class StaffHeadingWidget : public QWidget {
    Q_OBJECT
public:
    explicit StaffHeadingWidget(QWidget* parent = nullptr);
    void SetItems(std::vector<HeadingItem> items);
    QSize sizeHint() const override { return {kHeadingWidth, kVisibleHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<HeadingItem> items_;
};

// The heading and the score side by side (54 + 588 pixels wide, 224 high).
class ScoreFrame : public QWidget {
    Q_OBJECT
public:
    explicit ScoreFrame(QWidget* parent = nullptr);
    ScoreWidget* Score() const { return score_; }
    StaffHeadingWidget* Heading() const { return heading_; }
    // Shows a new layout in both parts.
    void SetLayout(std::shared_ptr<const ScoreLayout> layout);
    QSize sizeHint() const override { return {kHeadingWidth + kScorePageWidth, kVisibleHeight}; }

private:
    StaffHeadingWidget* heading_;
    ScoreWidget* score_;
};

}  // namespace lirovox::score::qt
