#include "app/cli/platform_help.h"

namespace karuneo::cli {

const std::string_view kStopHelp =
    "130 or 143 when stopped: Ctrl+C (SIGINT) stops the folder in hand\n"
    "between two entries and puts it back as it was; SIGTERM stops it there\n"
    "and leaves it as it stands (--undo puts it back). --undo and --recover\n"
    "stop the same way; a second Ctrl+C ends the putting back, which --undo\n"
    "finishes later. No further folder is started.\n";

// "/?" is a folder named "?" at the root of the file system.
bool IsSystemHelpSwitch(std::string_view) {
    return false;
}

}  // namespace karuneo::cli
