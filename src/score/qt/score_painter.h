#pragma once
// Drawing the score's marks with Qt. The score font's glyphs are mapped to FreeSerif's
// musical symbols (sharp, natural, treble clef; plain vector shapes where a glyph is
// missing) and to vector shapes (note head, bar lines, closing mark), placed so that a
// note head's centre lies 37 pixels below its text position (at 16 points), bar lines
// span their row's staff and accidentals stand just left of their note.

#include <QImage>
#include <QPainter>
#include <optional>
#include <vector>

#include "score/heading.h"
#include "score/layout.h"
#include "score/mark_index.h"

namespace lirovox::score::qt {

// Where a mapped glyph lands relative to its text position (tx, ty).
inline constexpr double kHeadCentreDx = 3;   // note head centre: (tx + 3, ty + 37)
inline constexpr double kHeadCentreDy = kHeadCentreBelowText;
inline constexpr double kHeadHeight = 9;     // a little more than one staff space
inline constexpr double kHeadWidth = 12;
inline constexpr double kAccidentalDx = 0;   // accidental centre: (tx, ty + 37)
inline constexpr double kBarLineDx = 3;      // "|": vertical line x = tx + 3, from ty to ty + 32
inline constexpr int kHeadingWidth = 54;     // the staff heading `Pic2`, left of the score

// The red score cursor `Line1`: from (X, Bottom) to (X, Bottom - 32), 2 pixels wide.
struct CursorLine {
    double X = 32;
    int Bottom = 64;
};

// Paints the part of the score surface that starts at score x `scrollX`, `width` pixels
// wide and `height` high, onto `p` at its origin: white, the ten staff lines up to the
// layout's staff end, the marks that fall in view (looked up in `index`, built from
// `layout.Marks`) and the cursor when given. `scratch` is reused between calls.
void PaintScore(QPainter& p, const ScoreLayout& layout, const MarkIndex& index, int scrollX,
                int width, int height, const std::optional<CursorLine>& cursor,
                std::vector<uint32_t>& scratch,
                const QRect* dirty = nullptr);

// Paints the staff heading `Pic2`: white, the two staves' lines across the heading's
// width, then the clefs and time signatures of `items`.
void PaintHeading(QPainter& p, const std::vector<HeadingItem>& items, int width, int height);

// A picture of the score with its heading at the left: one page (score x from
// page * 588, 588 pixels wide) or, with no page, the whole width of the score. The cursor
// stands where a load leaves it. Works without a display (offscreen platform); needs a
// QGuiApplication. Returns a null image when the picture would be too large.
QImage RenderScoreImage(const ScoreLayout& layout, std::optional<int> page);

}  // namespace lirovox::score::qt
