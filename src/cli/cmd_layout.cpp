// `lirovox layout SONG.mid [--syllables LIST.txt] --json`: the score layout of one redraw
// as JSON: width, row-2 indices, the drawn notes, every mark with its font, size and
// position, the staff heading and the first three karaoke lines.

#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/score_song.h"
#include "score/layout.h"

namespace lirovox::cli {
namespace {

int RunLayout(const std::vector<std::string>& args) {
    ScoreOptions options = ParseScoreOptions(args, true, false, false);
    if (!options.json) throw UsageError("the layout is printed as JSON only: add --json");
    Song song;
    const score::ScoreLayout layout = LayOutSong(options, song);
    WriteOutput("", score::LayoutToJson(layout) + "\n");
    return kExitOk;
}

const CommandRegistrar kLayout({
    "layout",
    "lirovox layout SONG.mid [--syllables LIST.txt] --json",
    "Prints the score layout of the song as one JSON object: the score width, the first "
    "record and note of row 2, the drawn notes (time, x, y, page), every mark drawn on the "
    "score (texts with font, size and position, lines with their ends), the staff heading "
    "and the first three karaoke lines. With --syllables the list (one syllable per line, "
    "\"---\" marking line ends) is taken in as \"Ready\" does and bound to the melody, so "
    "the layout shows the words. A song with fewer than two notes is not drawn: its marks "
    "and notes are empty.",
    &RunLayout,
});

}  // namespace
}  // namespace lirovox::cli
