#pragma once
// One drawn note of the score (table `NotePos`): where the cursor goes when the lyric
// clock reaches `Time`.

namespace lirovox {

struct ScoreNote {
    double Time = 0;  // milliseconds, lyric clock scale
    double X = 0;     // x of the note head within its row: 32 * (column + 1)
    int Y = 0;        // y of the bottom staff line of the note's row: 64 or 176
    double Page = 0;  // Int(X / 588): the screen page of the note
};

inline constexpr int kScorePageWidth = 588;
inline constexpr int kScoreLeftMargin = 54;  // left edge of the score inside its frame at page 0

}  // namespace lirovox
