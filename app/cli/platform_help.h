#pragma once

#include <string_view>

namespace karuneo::cli {

// The lines of the usage that name how the tool is stopped, in the words of
// the system it runs on: a console on Windows has no SIGTERM.
extern const std::string_view kStopHelp;

// True for a request of the usage in the system's own spelling beyond
// --help and -h: "/?" on Windows, where it can never name a folder.
bool IsSystemHelpSwitch(std::string_view arg);

}  // namespace karuneo::cli
