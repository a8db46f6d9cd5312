#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "engine/native_file_system.h"

namespace karuneo::cli {

// What karuneo-cli answered: its exit status and what it wrote to each stream.
struct CliRun {
    int status;
    std::string out;
    std::string err;
};

// The tool's run on the disk with `args`, its output kept.
inline CliRun RunWith(const std::vector<std::string>& args) {
    const auto fs = MakeNativeFileSystem();
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(args, *fs, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace karuneo::cli
