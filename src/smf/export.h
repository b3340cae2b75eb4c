#pragma once
// The karaoke MIDI export ("Save Midifile"): a copy of the loaded file with one lyric
// event per record of `Notes` and a credit notice.
//
// Format 0: the single track is copied with the notice at its start and each record's
// syllable as an inline lyric event (delta 0) right after the copied event at which the
// record's Tick is reached; records past the last event before the end of track are
// written, at their own ticks, just before it. An empty syllable is written as " ".
// Format 1 (any format but 0): the tracks are copied and one new last track holds the
// notice, one lyric event per record and the end of track; an empty syllable is an empty
// text. Deltas run from the tick written last, never below 0.
// In both, when the song carries words (`HasWords`), the source's own lyric events are
// dropped and their delta times carried into the next written event. The first channel
// message after an inserted or dropped meta event gets its status byte written even
// where the source used running status. Chunk lengths are those of the new content.

#include <string>

#include "smf/song.h"
#include "util/error.h"

namespace lirovox::smf {

// The credit notice written as a copyright-notice meta event (42 characters).
inline constexpr char kCreditNotice[] = "Karaoke lyrics set to the notes by Lirovox";

// The refusal when the chosen file is the loaded one; its message is the text the
// window shows: "Same MIDI file, please choose another...".
class SameFileError : public Error {
public:
    SameFileError();
};

// The whole karaoke file for `song`, built from `sourceBytes` (the loaded file's bytes
// as on disk). Throws Error (naming song.FilePath) when the source cannot be parsed.
std::string BuildKaraokeFile(const Song& song, const std::string& sourceBytes);

// The export's file name: ".mid" appended when the chosen name does not contain ".mid".
std::string KaraokeFileName(const std::string& chosenName);

// "Save Midifile" after the dialog: applies the name rule, refuses (SameFileError) a
// target that resolves to the loaded file, reads song.FilePath again from disk, builds
// the karaoke file and writes it under a temporary name in the target's folder, renamed
// into place when complete (an existing file is replaced). On any failure the target is
// untouched and Error is thrown with a message naming the file. Refuses (Error) a song
// whose syllable list is empty. Returns the path written.
std::string ExportKaraoke(const Song& song, const std::string& chosenName);

}  // namespace lirovox::smf
