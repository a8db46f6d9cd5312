#pragma once

#include <ostream>
#include <span>
#include <string>

#include "engine/file_system.h"

namespace karuneo::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;

// Un-nests each folder of `args` (the arguments after the program name, UTF-8)
// in order and prints one line "name<TAB>status" per row to `out`.
int RunCli(std::span<const std::string> args, FileSystem& fs, std::ostream& out, std::ostream& err);

}  // namespace karuneo::cli
