// `lirovox karaoke SONG.mid (--lyrics LYRICS.txt [--rules italian|other] |
// --syllables LIST.txt) -o OUT.mid`: loads the song, binds a syllable list to its melody
// notes and writes the karaoke MIDI file through the same export as "Save Midifile".
//   --lyrics: the text is imported as "Hyphenation 1" (italian) or "Hyphenation 2"
//             (other) do, then "Synchronize TXT" splits it again and binds it;
//   --syllables: the list is read as "Ready" does, which binds it.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "lyrics/binding.h"
#include "lyrics/import.h"
#include "score/merge.h"
#include "smf/export.h"
#include "smf/reader.h"
#include "util/error.h"

namespace lirovox::cli {
namespace {

int RunKaraoke(const std::vector<std::string>& args) {
    std::string songPath;
    std::string lyricsPath;
    std::string syllablesPath;
    std::string output;
    bool rulesGiven = false;
    bool otherRules = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--lyrics") {
            if (!lyricsPath.empty()) throw UsageError("option --lyrics given twice");
            lyricsPath = TakeValue(args, i);
            if (lyricsPath.empty()) throw UsageError("option --lyrics needs a file name");
        } else if (a == "--syllables") {
            if (!syllablesPath.empty()) throw UsageError("option --syllables given twice");
            syllablesPath = TakeValue(args, i);
            if (syllablesPath.empty()) throw UsageError("option --syllables needs a file name");
        } else if (a == "--rules") {
            otherRules = ParseOtherRules(TakeValue(args, i));
            rulesGiven = true;
        } else if (a == "-o") {
            output = TakeValue(args, i);
            if (output.empty()) throw UsageError("option -o needs a file name");
        } else if (!a.empty() && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else if (songPath.empty()) {
            songPath = a;
        } else {
            throw UsageError("only one song can be made into a karaoke file at a time");
        }
    }
    if (songPath.empty()) throw UsageError("no song given");
    if (lyricsPath.empty() == syllablesPath.empty()) {
        throw UsageError("give either --lyrics LYRICS.txt or --syllables LIST.txt");
    }
    if (rulesGiven && lyricsPath.empty()) throw UsageError("option --rules goes with --lyrics");
    if (output.empty()) throw UsageError("no output file given (-o OUT.mid)");

    Song song = smf::ReadSong(songPath);

    if (!lyricsPath.empty()) {
        // "Hyphenation 1" / "Hyphenation 2": the text goes into the notepad and is split.
        const std::string notepad = lyrics::ReadLyricText(lyricsPath);
        lyrics::ApplyImport(song, otherRules ? lyrics::OtherLanguage(notepad) : lyrics::ImportTXT(notepad));
        if (!lyrics::HasSyllables(song.List1)) {
            throw Error("\"" + lyricsPath + "\" holds no words to make syllables of");
        }
        // "Synchronize TXT": the notepad text split again with the same rules, then bound.
        lyrics::SynchronizeTXT(song, notepad, otherRules, true);
    } else {
        const std::string listText = lyrics::ReadSyllableListText(syllablesPath);
        if (!lyrics::HasSyllables(lyrics::ReadReadyList(listText).List1)) {
            throw Error("\"" + syllablesPath + "\" holds no syllables: the syllable list is empty");
        }
        lyrics::ReadyTXT(song, listText, true);
    }
    // The score's redraw merges the bound syllables into the note table; without a
    // window the merge runs here.
    score::Merge(song);

    const std::string written = smf::ExportKaraoke(song, output);
    std::printf("%s\n", written.c_str());
    return kExitOk;
}

const CommandRegistrar kKaraoke({
    "karaoke",
    "lirovox karaoke SONG.mid (--lyrics LYRICS.txt [--rules italian|other] | --syllables LIST.txt) -o OUT.mid",
    "Makes a karaoke MIDI file: loads SONG.mid, binds syllables to its melody notes (MIDI "
    "channel 4) in order and writes OUT.mid as \"Save Midifile\" does: a copy of the song "
    "with one lyric event per note and a credit notice (inline in a format-0 file, as a new "
    "last track in a format-1 file). With --lyrics the text is split into syllables by the "
    "Italian rules (--rules italian, the default) or the other-language rules (--rules "
    "other), as \"Hyphenation 1\"/\"Hyphenation 2\" and \"Synchronize TXT\" do; with "
    "--syllables a list already split, one syllable per line and \"---\" ending each text "
    "line, is bound as \"Ready\" does. \".mid\" is appended to OUT when its name lacks it; "
    "OUT must not be SONG itself. Prints the name of the file written.",
    &RunKaraoke,
});

}  // namespace
}  // namespace lirovox::cli
