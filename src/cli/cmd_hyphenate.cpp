// `lirovox hyphenate [--rules italian|other] LYRICS.txt [-o LIST.txt]`: reads a lyric
// text as "Hyphenation 1" (Italian rules) or "Hyphenation 2" (other-language rules) do
// and writes the syllable list, each entry followed by CR LF, in Latin-1.

#include <string>
#include <vector>

#include "cli/command.h"
#include "lyrics/import.h"

namespace lirovox::cli {
namespace {

int RunHyphenate(const std::vector<std::string>& args) {
    std::string input;
    std::string output;
    bool otherRules = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--rules") {
            otherRules = ParseOtherRules(TakeValue(args, i));
        } else if (a == "-o") {
            output = TakeValue(args, i);
            if (output.empty()) throw UsageError("option -o needs a file name");
        } else if (!a.empty() && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else if (input.empty()) {
            input = a;
        } else {
            throw UsageError("only one lyric text can be split at a time");
        }
    }
    if (input.empty()) throw UsageError("no lyric text given");

    std::string notepad = lyrics::ReadLyricText(input);
    lyrics::SyllableImport list =
        otherRules ? lyrics::OtherLanguage(notepad) : lyrics::ImportTXT(notepad);
    WriteOutput(output, lyrics::ListToText(list.List1));
    return kExitOk;
}

const CommandRegistrar kHyphenate({
    "hyphenate",
    "lirovox hyphenate [--rules italian|other] LYRICS.txt [-o LIST.txt]",
    "Splits a lyric text into the syllable list, as \"Hyphenation 1\" (--rules italian, the "
    "default) or \"Hyphenation 2\" (--rules other) do: one entry per line, a word's last "
    "syllable ending in a blank, \"---\" after every text line, each line ended by CR LF, "
    "Latin-1. Writes to LIST.txt, or to standard output without -o. A UTF-8 text is "
    "converted to Latin-1 first.",
    &RunHyphenate,
});

}  // namespace
}  // namespace lirovox::cli
