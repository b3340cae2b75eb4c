// The `lirovox` program: with a subcommand it runs headless; otherwise it opens the
// window (optionally on a song given as the only argument).

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/window_main.h"
#include "cli/command.h"
#include "util/error.h"

using lirovox::cli::Command;
using lirovox::cli::Commands;

namespace {

void PrintHelp() {
    std::vector<Command> commands = Commands();
    std::sort(commands.begin(), commands.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
    std::printf("Lirovox: makes karaoke MIDI files.\n\n");
    std::printf("Usage:\n  lirovox [--lyrics LYRICS.txt] [SONG.mid]\n      Opens the window, with the song loaded when one is given; --lyrics imports the\n      lyric text (\"Hyphenation 1\") and synchronizes it with the song.\n");
    for (const Command& c : commands) {
        std::printf("  %s\n      %s\n", c.usage.c_str(), c.summary.c_str());
    }
    std::printf("\nErrors are reported on stderr as \"lirovox: ...\"; exit status 1 for bad input,\n"
                "2 for wrong usage.\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        PrintHelp();
        return 0;
    }
    if (!args.empty()) {
        for (const Command& c : Commands()) {
            if (c.name != args[0]) continue;
            std::vector<std::string> rest(args.begin() + 1, args.end());
            if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
                std::printf("Usage: %s\n  %s\n", c.usage.c_str(), c.summary.c_str());
                return 0;
            }
            try {
                return c.run(rest);
            } catch (const lirovox::cli::UsageError& e) {
                std::fprintf(stderr, "lirovox: %s\nusage: %s\n", e.what(), c.usage.c_str());
                return lirovox::cli::kExitUsage;
            } catch (const lirovox::Error& e) {
                std::fprintf(stderr, "lirovox: %s\n", e.what());
                return lirovox::cli::kExitBadInput;
            } catch (const std::exception& e) {
                std::fprintf(stderr, "lirovox: %s\n", e.what());
                return lirovox::cli::kExitBadInput;
            }
        }
        // Not a subcommand: the window's own arguments, [--lyrics FILE.txt] [SONG.mid].
        int songs = 0;
        for (size_t i = 0; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (a == "--lyrics" && i + 1 < args.size()) {
                ++i;
            } else if (a.rfind("--lyrics=", 0) == 0) {
            } else if (a.empty() || a[0] == '-' || ++songs > 1) {
                std::fprintf(stderr, "lirovox: unknown command or option \"%s\" (see lirovox --help)\n",
                             a.c_str());
                return lirovox::cli::kExitUsage;
            }
        }
    }
    std::string song;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lyrics") ++i;
        else if (args[i].rfind("--", 0) != 0) song = args[i];
    }
    return lirovox::app::RunWindow(argc, argv, song);
}
