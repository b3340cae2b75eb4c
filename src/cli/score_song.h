#pragma once
// The song that `lirovox layout` and `lirovox score` lay out: the MIDI file as a load
// leaves it, optionally with a syllable list taken in as "Ready" does (which binds it to
// the melody, so the score shows the words).

#include <string>
#include <vector>

#include "score/layout.h"
#include "smf/song.h"

namespace lirovox::cli {

struct ScoreOptions {
    std::string songPath;
    std::string syllablesPath;  // empty: no list
    std::string outputPath;     // -o
    bool json = false;          // --json
    bool hasPage = false;       // --page N
    int page = 0;
};

// Parses SONG.mid [--syllables LIST.txt] plus the options each command allows.
ScoreOptions ParseScoreOptions(const std::vector<std::string>& args, bool allowJson,
                               bool allowOutput, bool allowPage);

// Reads the song, binds the list when one is given, and runs the redraw once.
score::ScoreLayout LayOutSong(const ScoreOptions& options, Song& song);

}  // namespace lirovox::cli
