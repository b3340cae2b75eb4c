#include "cli/command.h"

#include <cstdio>
#include <iostream>

#include "util/file_io.h"

namespace lirovox::cli {

std::vector<Command>& Commands() {
    static std::vector<Command> commands;
    return commands;
}

std::string TakeValue(const std::vector<std::string>& args, size_t& i) {
    if (i + 1 >= args.size()) throw UsageError("option " + args[i] + " needs a value");
    ++i;
    return args[i];
}

int ParseIntArg(const std::string& option, const std::string& text) {
    try {
        size_t used = 0;
        int v = std::stoi(text, &used);
        if (used != text.size()) throw std::invalid_argument(text);
        return v;
    } catch (const std::exception&) {
        throw UsageError("option " + option + " needs a whole number, not \"" + text + "\"");
    }
}

bool ParseOtherRules(const std::string& rules) {
    if (rules == "italian") return false;
    if (rules == "other") return true;
    throw UsageError("option --rules takes italian or other, not \"" + rules + "\"");
}

void WriteOutput(const std::string& path, const std::string& text) {
    if (path.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    } else {
        WriteFileAtomically(path, text);
    }
}

}  // namespace lirovox::cli
