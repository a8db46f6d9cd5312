#pragma once

#include <ostream>
#include <span>
#include <string>

#include "app/cli/interruption.h"
#include "engine/file_system.h"

namespace karuneo::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;

// Un-nests each folder of `args` (the arguments after the program name, UTF-8:
// options, then folders) in order, or with --dry-run only tells what would
// change, and prints one line "name<TAB>status" per row to `out`. Reasons,
// usage errors and the dry run's changes go to `err`. Once `stop` asks, the
// folder in hand stops between two entries and gets its row, no further
// folder is started, and the status is the one `stop` gives.
int RunCli(std::span<const std::string> args, FileSystem& fs, std::ostream& out, std::ostream& err,
           Interruption& stop = NoInterruption());

}  // namespace karuneo::cli
