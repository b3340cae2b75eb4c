#pragma once
// Joining the melody notes with the lyric events into the table `Notes` that the score
// draws and the karaoke export writes.

#include "smf/song.h"

namespace lirovox::score {

// The merge's tolerance: the ticks of a sixteenth note, Division / 4 to the nearest
// whole number (halves to even).
int SixteenthTicks(const Song& song);

// Rebuilds `song.Notes` from `song.MelodyNotes` and `song.LyricEvents`, walking both
// from the start:
//  - a lyric event within a sixteenth of the next melody note (either side) binds to it:
//    the record takes the note's Note/Time/Tick and the event's Text/Mark;
//  - a melody note more than a sixteenth before the next lyric event gets Text "__";
//  - a lyric event more than a sixteenth before the next melody note stands alone with
//    Note 0;
//  - when the lyric events run out (only the last one is left), the last record is a
//    copy of the last lyric event and melody notes after it are not carried;
//  - when the melody runs out first, every remaining lyric event is kept as its own
//    record, a copy of the event, so no syllable is lost.
// Meant to run whenever the song carries words (`HasWords`), after every binding; it
// reads neither `Notes` nor `HasWords` itself. Tables keep their one-element minimum.
void Merge(Song& song);

}  // namespace lirovox::score
