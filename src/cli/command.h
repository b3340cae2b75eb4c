#pragma once
// Subcommands of the `lirovox` program. Each subcommand lives in its own file and
// registers itself with a static CommandRegistrar, so adding one touches no other file.
//
// Contract shared by every subcommand: errors go to stderr as "lirovox: <message>";
// exit status 0 on success, 1 for bad input (a file that cannot be read or written,
// malformed content), 2 for wrong usage.

#include <stdexcept>
#include <string>
#include <vector>

namespace lirovox::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 1;
inline constexpr int kExitUsage = 2;

// Thrown for wrong usage (unknown option, missing argument); main prints it with the
// subcommand's usage line and exits 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& m) : std::runtime_error(m) {}
};

struct Command {
    std::string name;     // "inspect"
    std::string usage;    // "lirovox inspect SONG.mid [--json]"
    std::string summary;  // one paragraph for --help
    // Runs with the arguments after the subcommand name. Throws UsageError for wrong
    // usage and lirovox::Error for bad input; returns the exit status otherwise.
    int (*run)(const std::vector<std::string>& args);
};

std::vector<Command>& Commands();

struct CommandRegistrar {
    explicit CommandRegistrar(Command command) { Commands().push_back(std::move(command)); }
};

// Small helpers for option parsing. `TakeValue` reads the value after option args[i]
// (advancing i) or throws UsageError.
std::string TakeValue(const std::vector<std::string>& args, size_t& i);
int ParseIntArg(const std::string& option, const std::string& text);
// The value of --rules: false for "italian", true for "other"; anything else is wrong usage.
bool ParseOtherRules(const std::string& rules);

// Writes `text` to the file (safely, see WriteFileAtomically) or to stdout when `path`
// is empty.
void WriteOutput(const std::string& path, const std::string& text);

}  // namespace lirovox::cli
