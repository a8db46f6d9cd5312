#include "engine/write_backlog_linux.h"

#include <linux/magic.h>
#include <sys/statfs.h>

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

bool SyncfsCoversEachFile(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0) {
        return false;
    }
    switch (info.f_type) {
        case EXT4_SUPER_MAGIC:  // ext2 and ext3 too
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case F2FS_SUPER_MAGIC:
            return true;
        default:
            return false;
    }
}

}  // namespace karuneo
