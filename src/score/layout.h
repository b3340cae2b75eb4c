#pragma once
// The score layout: from the song state to the list of marks that the score surface
// `PicScore` shows, plus the table of drawn notes `NotePos` that the cursor follows.
//
// Geometry (pixels, origin top left, y down): two rows of a treble staff, row 2 lying
// 112 pixels below row 1; one column of 32 pixels per record of `Notes`; the note head of
// column c of a row stands at x = 32 * (c + 1). Row 1's staff lines are at y = 32..64,
// row 2's at 144..176, every 8 pixels.
//
// Marks are given as the score font places them: a text mark's position is the top-left
// corner of its text cell in that font ("Dida" for score glyphs, "Arial" for syllables).
// The painter maps each glyph so that, at 16 points, a note head's centre lies 37 pixels
// below its text position. Nothing here depends on Qt.

#include <cstdint>
#include <string>
#include <vector>

#include "playback/karaoke_frame.h"
#include "score/heading.h"
#include "score/score_note.h"
#include "smf/song.h"

namespace lirovox::score {

inline constexpr int kColumnWidth = 32;
inline constexpr int kRow2OffsetY = 112;
inline constexpr int kVisibleHeight = 224;
inline constexpr int kPitchReference = 69;
inline constexpr int kHeadCentreBelowText = 37;  // head centre below a 16-point text position
inline constexpr int kRow1StaffTop = 32;
inline constexpr int kRow1StaffBottom = 64;
inline constexpr int kStaffSpace = 8;
inline constexpr int kKaraokeLineStep = 24;  // rows of the karaoke view at y = 0, 24, 48

enum class MarkKind : uint8_t { Text, Line };
enum class MarkFont : uint8_t { Dida, Arial };

// The font names as the layout states them.
const char* FontName(MarkFont font);

struct ScoreMark {
    MarkKind Kind = MarkKind::Text;
    MarkFont Font = MarkFont::Dida;  // text marks
    uint8_t Size = 16;               // points: 16 glyphs, 14 bar numbers, 8 syllables
    int X = 0;                       // text: top-left of the cell; line: first end
    int Y = 0;
    int X2 = 0;  // line: second end
    int Y2 = 0;
    std::string Text;  // Latin-1: "w", "#", "n", "|", "\\", digits, or a syllable
};

struct ScoreLayout {
    // False when the song was not drawn (not loaded, or `Notes` holds one record): the
    // marks and `NotePos` are then empty and the score keeps what it showed.
    bool Drawn = false;
    int Width = kScorePageWidth;      // width of the score surface
    int StaffRight = kScorePageWidth; // right end of the ten staff lines
    std::vector<ScoreMark> Marks;     // in drawing order
    // One entry per drawn note in drawing order; the plain layout ends it with an end
    // mark (X = total running x, other fields 0). Empty when nothing was drawn (a song
    // whose records are all line breaks draws no note either), so readers check bounds.
    std::vector<ScoreNote> NotePos;
    int Row2FirstIndex = 0;  // index in `Notes` of the first record of row 2
    int Row2FirstNote = 0;   // index in `NotePos` of the first note of row 2
    // The first three elements of `LyricLines` that exist (words layout only), each shown
    // at y = 24 * index of the karaoke view when it is not empty.
    std::vector<std::string> KaraokeLines;
    // What the staff heading `Pic2` shows (empty when the song was not drawn).
    std::vector<HeadingItem> Heading;
};

// The pitch-to-row mapping of one note number. `octaveBase` carries the base of the last
// mapped note, for the octaves outside 2..9 (start it at 0).
struct Pitch {
    int NoteY = 0;     // y of the head's text position before the row offset
    int Pc = 0;        // pitch class 0..11
    bool Sharp = false;
};
Pitch MapPitch(int note, int& octaveBase);

// One ledger line, from (note x + X0Offset, y) to (note x + X0Offset + 16, y).
struct LedgerLine {
    int X0Offset = -5;
    int YOffset = 0;  // added to NoteY + row offset
};
// The ledger lines for a head at `noteY` (none for most heights).
std::vector<LedgerLine> LedgerLines(int noteY);

// Redraws the score from the song state. When the song carries words (`HasWords`) it
// first rebuilds `song.Notes` by merging the melody with the lyric events (this happens
// even when there are too few records to draw). Returns an undrawn layout when `loaded`
// is false or `Notes` holds a single record. Any length of song is laid out.
ScoreLayout PutInScore(Song& song, bool loaded);

// The karaoke view right after a redraw: cleared, then the first three text lines of
// the song (words layout only) at y = 0, 24, 48 in the text colour.
KaraokeFrame ScoreKaraokeFrame(const ScoreLayout& layout);

// The layout as the JSON object of `lirovox layout`.
std::string LayoutToJson(const ScoreLayout& layout);

}  // namespace lirovox::score
