#include "engine/write_backlog_linux.h"

#include <fstream>
#include <string>

namespace karuneo {
namespace {

// A few MiB take a disk a few hundredths of a second.
constexpr long long kSmallBacklogKib = 8 * 1024;

}  // namespace

bool LittleWaitsToBeWritten() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    long long kib = 0;
    long long waiting = 0;
    int found = 0;
    while (found < 2 && meminfo >> key >> kib) {
        if (key == "Dirty:" || key == "Writeback:") {
            waiting += kib;
            ++found;
        }
        meminfo.ignore(64, '\n');
    }
    return found == 2 && waiting < kSmallBacklogKib;
}

}  // namespace karuneo
