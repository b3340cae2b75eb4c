#pragma once
// The karaoke view's frames during playback: the frame of a lyric entry that has fallen
// due, and the frame shown after a stop.

#include "playback/karaoke_frame.h"
#include "smf/song.h"

namespace lirovox::playback {

inline constexpr int kKaraokeRowStep = 24;  // pixels between the three rows

// The frame for entry `index` of `song.LyricRecs`: its line with everything up to and
// including the syllable lit, the rest of the line plain, and the next two lines below
// (rows at y 0, 24, 48; a following row only when that line exists). Row 0 always has
// two runs: the lit part, then the plain rest. An index outside the table gives an empty
// frame; a line index outside `LyricLines` shows as an empty line.
KaraokeFrame DueEntryFrame(const Song& song, int index);

// The frame after a stop: when the song has words, elements 0, 1 and 2 of `LyricLines`
// that exist and are not empty, unlit, element k on the row at y = 24 k; otherwise empty.
KaraokeFrame StopFrame(const Song& song);

}  // namespace lirovox::playback
