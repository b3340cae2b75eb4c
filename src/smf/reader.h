#pragma once
// Reading a Standard MIDI File into a Song.

#include <cstdint>
#include <string>

#include "smf/song.h"

namespace lirovox::smf {

// Reads the file at `path` into a fresh Song: header facts, tempo and mixer values from
// the byte searches, the melody notes of channel 4, the file's own lyric tables and
// syllable list, the counters, the song length, bars and time signature.
// Throws lirovox::Error naming the file and the problem for a file that cannot be read
// or is malformed; nothing outside the returned value is touched.
Song ReadSong(const std::string& path);

// The same from bytes already in memory; `path` is used for FilePath and messages.
Song ParseSong(const std::string& path, std::string bytes);

}  // namespace lirovox::smf
