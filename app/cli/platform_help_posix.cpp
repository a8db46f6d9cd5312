#include "app/cli/platform_help.h"

namespace karuneo::cli {

const std::string_view kStopHelp =
    "130 or 143 when stopped: Ctrl+C (SIGINT) stops the folder in hand\n"
    "between two entries and puts it back as it was; SIGTERM stops it there\n"
    "and leaves it as it stands (--undo puts it back). No further folder is\n"
    "started.\n";

// "/?" is a folder named "?" at the root of the file system.
bool IsSystemHelpSwitch(std::string_view) {
    return false;
}

}  // namespace karuneo::cli
