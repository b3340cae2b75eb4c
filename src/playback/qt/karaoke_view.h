#pragma once
// The karaoke view `PicKara`: three rows of lyric text, the sung part of the current line
// in the highlight colour (red) and everything else in the text colour (black). It draws
// the frames that playback and the note pick compute; it decides nothing itself.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>
#include <string>
#include <vector>

#include "playback/karaoke_frame.h"

namespace lirovox::playback::qt {

inline constexpr const char* kKaraFontName = "Arial";  // `KaraFontName`
inline constexpr int kKaraFontSize = 14;               // `KaraFontSize`, in points
inline const QColor kColorHighlight{255, 0, 0};        // `ColorHighlight`
inline const QColor kColorText{0, 0, 0};               // `ColorText`
inline constexpr int kKaraWidth = 642;                 // the view's size in the window
inline constexpr int kKaraHeight = 74;
inline constexpr int kKaraFitMargin = 10;              // a line must fit the width less this

// The font of the view at `points` (the family "Arial", served by a metric-compatible
// font such as Liberation Sans). Sized in pixels at 96 per inch, so the text keeps its
// size relative to the view's fixed 24-pixel rows on any screen.
QFont KaraokeFont(int points);

class KaraokeView : public QWidget {
    Q_OBJECT
public:
    explicit KaraokeView(QWidget* parent = nullptr);

    // Clears the view, then shows `frame`.
    void ShowFrame(KaraokeFrame frame);
    // Clears the view.
    void Clear();
    const KaraokeFrame& Frame() const { return frame_; }

    // The font of a load: `KaraFontName` at `KaraFontSize`, and when the widest of
    // `lines` (Latin-1) is wider than the view's width less 10, one point smaller until
    // it fits (never below 1 point). Returns the size chosen.
    int FitFontToLines(const std::vector<std::string>& lines);
    int FontPoints() const { return points_; }

    // The view as it looks now, drawn into an image of its size.
    QImage RenderImage() const;

    QSize sizeHint() const override { return {kKaraWidth, kKaraHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Paint(QPainter& p) const;

    KaraokeFrame frame_;
    int points_ = kKaraFontSize;
};

}  // namespace lirovox::playback::qt
