#include "app/cli/platform_help.h"

namespace karuneo::cli {

const std::string_view kStopHelp =
    "130 or 143 when stopped: Ctrl+C or Ctrl+Break stops the folder in hand\n"
    "between two entries and puts it back as it was (130); closing the\n"
    "console, logging off or shutting down stops it there and leaves it as it\n"
    "stands (143; --undo puts it back). --undo and --recover stop the same\n"
    "way; a second Ctrl+C ends the putting back, which --undo finishes later.\n"
    "No further folder is started.\n";

bool IsSystemHelpSwitch(std::string_view arg) {
    return arg == "/?";
}

}  // namespace karuneo::cli
