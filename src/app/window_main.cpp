#include "app/window_main.h"

#include <cstdio>

namespace lirovox::app {

// Placeholder until the main window is built: the program's window entry point.
int RunWindow(int, char**, const std::string&) {
    std::fprintf(stderr, "lirovox: the window is not available in this build; see lirovox --help\n");
    return 2;
}

}  // namespace lirovox::app
