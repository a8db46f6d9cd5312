#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace karuneo::testing {

// How one run of the karuneo-cli executable ended.
struct CliRun {
    int exit_code = -1;  // -1 when it did not exit by itself
    int signal = 0;      // the signal that ended it, 0 if none
    std::string out;     // what it printed on standard output
};

// Runs karuneo-cli with `args` to the end.
CliRun RunCliProcess(const std::vector<std::string>& args);

// Runs karuneo-cli with standard output going to `out_path` (such as
// "/dev/full"), or closed when it is null.
CliRun RunCliProcessWritingTo(const std::vector<std::string>& args, const char* out_path);

// Runs karuneo-cli and sends it `signal_number` as soon as `ready` says so
// (asked every millisecond, for ten seconds at most).
CliRun SignalCliWhen(const std::vector<std::string>& args, int signal_number,
                     const std::function<bool()>& ready);

// Runs karuneo-cli and sends it SIGKILL after `delay`, unless it ended first.
CliRun KillCliAfter(const std::vector<std::string>& args, std::chrono::microseconds delay);

}  // namespace karuneo::testing
