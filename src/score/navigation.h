#pragma once
// Picking the current note on the score: the score's keys and pointer presses, and the
// refresh that follows a change of the current note (the note preview and the karaoke
// view). Plain logic over the state; the window sends the preview note, starts the
// preview's cut-off timer, selects the list entry and draws the frame.

#include <optional>

#include "playback/karaoke_frame.h"
#include "smf/song.h"

namespace lirovox::score {

inline constexpr int kKeyEnd = 35;
inline constexpr int kKeyHome = 36;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyRight = 39;
inline constexpr int kColumnsPerPage = 18;
inline constexpr int kRow1MaxY = 120;      // presses at y <= 120 are on row 1
inline constexpr int kPreviewVelocity = 80;
inline constexpr int kKaraokeRowGap = 2;  // pixels between the rows of a note pick

// What the score's pick handlers read.
struct ScoreNavState {
    bool Loaded = false;
    int CurNote = 0;
    int Row2PickPos = 0;
    int Row2FirstIndex = 0;  // from the last layout
    int Row2FirstNote = 0;   // from the last layout
    int NotesUBound = 0;     // UBound(song.Notes)
    int ListCount = 0;       // entries of the syllable list `List1`
};

// The outcome of a key or a press. When `Handled` is false nothing changes. Otherwise
// the caller stores `CurNote` and `Row2PickPos` and, when `Select` holds an index, selects
// that entry of `List1` (which runs the list's selection handler as a user's selection
// does).
struct ScorePick {
    bool Handled = false;
    int CurNote = 0;
    int Row2PickPos = 0;
    std::optional<int> Select;
};

// A key pressed while the score has the focus: 39 Right, 37 Left, 36 Home, 35 End.
// Other keys only clear `Row2PickPos` when the current note lies within a page of the
// start of row 2.
ScorePick PicScore_KeyDown(const ScoreNavState& state, int keyCode);

// A pointer press (any button) at (x, y) on the score surface.
ScorePick PicScore_MouseDown(const ScoreNavState& state, double x, double y);

// What the refresh after a change of the current note does.
struct ScoreRefresh {
    // The melody note to sound briefly (note-on, channel index 3, velocity 80; then the
    // preview timer starts and its next tick ends the note). Empty: sound nothing.
    std::optional<int> PreviewNote;
    // The karaoke view's new content: the current syllable lit inside its line, the next
    // two lines below. Empty: the view keeps what it shows.
    std::optional<KaraokeFrame> Karaoke;
};

ScoreRefresh AggiornaScore(const Song& song, int curNote);

}  // namespace lirovox::score
