#include "cli/score_song.h"

#include <cstdio>

#include "cli/command.h"
#include "lyrics/binding.h"
#include "lyrics/import.h"
#include "smf/reader.h"

namespace lirovox::cli {

ScoreOptions ParseScoreOptions(const std::vector<std::string>& args, bool allowJson,
                               bool allowOutput, bool allowPage) {
    ScoreOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--syllables") {
            o.syllablesPath = TakeValue(args, i);
            if (o.syllablesPath.empty()) throw UsageError("option --syllables needs a file name");
        } else if (allowJson && a == "--json") {
            o.json = true;
        } else if (allowOutput && a == "-o") {
            o.outputPath = TakeValue(args, i);
            if (o.outputPath.empty()) throw UsageError("option -o needs a file name");
        } else if (allowPage && a == "--page") {
            const std::string value = TakeValue(args, i);
            o.page = ParseIntArg("--page", value);
            if (o.page < 0) throw UsageError("option --page needs a page number from 0");
            o.hasPage = true;
        } else if (!a.empty() && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else if (o.songPath.empty()) {
            o.songPath = a;
        } else {
            throw UsageError("only one song can be laid out at a time");
        }
    }
    if (o.songPath.empty()) throw UsageError("no MIDI file given");
    return o;
}

score::ScoreLayout LayOutSong(const ScoreOptions& options, Song& song) {
    song = smf::ReadSong(options.songPath);
    if (!options.syllablesPath.empty()) {
        const std::string listText = lyrics::ReadSyllableListText(options.syllablesPath);
        if (!lyrics::ReadyTXT(song, listText, true)) {
            std::fprintf(stderr, "lirovox: %s holds no syllables; the score shows no words\n",
                         options.syllablesPath.c_str());
        }
    }
    return score::PutInScore(song, true);
}

}  // namespace lirovox::cli
