#pragma once
// Binding the syllable list to the melody notes, and the karaoke tables rebuilt from the
// merged note table.
//
// The syllable list `song.List1` is the one source of truth for the alignment: the n-th
// entry that is not a line mark belongs to `MelodyNotes`(n). Every change of the list is
// followed by `BindSyllables`, which rebuilds `LyricEvents`, `LyricRecs` and `LyricLines`
// from it. The merged table `Notes` is then rebuilt by `score::Merge` (the score's redraw
// `PutInScore` runs it; code that draws nothing, like the command line, calls it itself).
//
// The header figures `NoteCount`, `HyphenCount` and `LineCount` of the Song are the
// numbers the header panel shows ("Notes:", "Hyphens:" and the line count). The load and
// the imports set them, the binding reads them back to decide how far to walk and sets
// the hyphen and line figures again.

#include <string>

#include "lyrics/import.h"
#include "smf/song.h"

namespace lirovox::lyrics {

// Rebuilds `LyricEvents`, `LyricRecs` and `LyricLines` from `song.List1`:
//  - A = (NoteCount - 1) + LineCount, B = (HyphenCount - 1) + LineCount; the walk covers
//    list indices 0..UBound(MelodyNotes) when B > A, else 0..A. An index past the end of
//    the list reads as an empty entry (an empty syllable bound to the note).
//  - An entry containing "---" is a line mark: a CR event (Mark 13) with the Time/Tick
//    of the event before it, a new empty text line; the mark's LyricRec takes the time
//    of the syllable that follows it.
//  - Any other entry is the syllable of the next melody note (Time/Tick of that note;
//    0 once the melody is used up).
// Then HasWords = true, HyphenCount = (entries in the list) - (line marks processed)
// and LineCount = (line marks processed), as the header panel shows them afterwards.
// Call it only while a song is loaded. Returns false, changing nothing, when the list is
// empty. Does not rebuild `Notes`: run score::Merge (or PutInScore) afterwards.
bool BindSyllables(Song& song);

// Rebuilds `LyricLines` and `LyricRecs` from `Notes`, from index `curNote` on (a
// negative index counts as 0): a record whose Text is CR opens a new, empty line; any
// other record's Text is appended to the current line. Records below `curNote` stay
// empty (time 0), so playback lights them at once.
void AggiornaLyr(Song& song, int curNote);

// Takes over the list and the hyphen and line figures of an import.
void ApplyImport(Song& song, const SyllableImport& import);

// "Synchronize TXT": splits the notepad text again (Italian rules, or the other-language
// rules when `otherLang`, the rules of the last import), takes the new list and figures,
// and binds it when `loaded`. Returns whether it bound. (The window toggles the notepad
// as "Notepad Show/Hide" does between the split and the binding, and redraws the score
// afterwards.)
bool SynchronizeTXT(Song& song, const std::string& notepadText, bool otherLang, bool loaded);

// "Ready": `listText` (from ReadSyllableListText) becomes the list, one entry per line,
// with its figures, and is bound when `loaded`. Returns whether it bound. The window sets
// its OtherLang to false and shows `listText` in the notepad.
bool ReadyTXT(Song& song, const std::string& listText, bool loaded);

// True when the list holds at least one syllable: an entry that is neither empty nor a
// line mark.
bool HasSyllables(const std::vector<std::string>& list);

}  // namespace lirovox::lyrics
