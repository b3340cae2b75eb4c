#pragma once

#include <string>

namespace lirovox::app {

// Opens the main window (with `songPath` loaded when not empty) and runs the event loop
// until the window closes. Returns the program's exit status.
int RunWindow(int argc, char** argv, const std::string& songPath);

}  // namespace lirovox::app
