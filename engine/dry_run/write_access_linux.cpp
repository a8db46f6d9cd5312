#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
// iwyu 8.18 takes std::ifstream and std::istringstream for each other.
#include <fstream>  // IWYU pragma: keep
#include <map>
#include <sstream>  // IWYU pragma: keep
#include <string>
#include <utility>
#include <vector>

#include "engine/dry_run/write_access.h"
#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/system_code.h"

namespace karuneo::dry_run {
namespace {

struct ChangeFlags {
    bool immutable = false;
    bool append_only = false;
    bool is_folder = false;
    std::pair<unsigned, unsigned> device;  // major, minor
};

// chattr's flags, as statx reports them without opening the entry (a link
// is asked about itself). A file system that cannot tell reports none, and
// the change itself will say.
ChangeFlags FlagsIn(const struct statx& info) {
    const auto known = info.stx_attributes_mask & info.stx_attributes;
    return {(known & STATX_ATTR_IMMUTABLE) != 0,
            (known & STATX_ATTR_APPEND) != 0,
            S_ISDIR(info.stx_mode),
            {info.stx_dev_major, info.stx_dev_minor}};
}

// The block device a FUSE driver serves, from the mount table's line for
// `device`; empty for any other mount.
std::string FuseBlockSource(std::pair<unsigned, unsigned> device) {
    const std::string wanted = std::to_string(device.first) + ":" + std::to_string(device.second);
    std::ifstream table("/proc/self/mountinfo");
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string id, parent, numbers;
        fields >> id >> parent >> numbers;
        const auto dash = line.find(" - ");
        if (numbers != wanted || dash == std::string::npos) {
            continue;
        }
        std::istringstream after(line.substr(dash + 3));
        std::string type, source;
        after >> type >> source;
        return type == "fuseblk" ? source : std::string();
    }
    return {};
}

// A FUSE driver for FAT or exFAT answers RENAME_NOREPLACE with EINVAL and
// makes no hard links, so a real run can move no file there without the
// risk of replacing (it refuses). Which driver serves a "fuseblk" mount the
// table does not say; the file system's own boot sector, read where the
// device may be read, does. Nothing is assumed where it cannot be read: the
// real run then says.
bool IsFatOnDevice(const std::string& source) {
    std::ifstream device(source, std::ios::binary);
    char sector[90] = {};
    if (!device.read(sector, sizeof sector)) {
        return false;
    }
    const auto at = [&sector](std::size_t offset, const char* text) {
        return std::memcmp(sector + offset, text, std::strlen(text)) == 0;
    };
    return at(3, "EXFAT   ") || at(54, "FAT12   ") || at(54, "FAT16   ") || at(82, "FAT32   ");
}

bool MovesNoFileSafely(std::pair<unsigned, unsigned> device) {
    thread_local std::map<std::pair<unsigned, unsigned>, bool> known;
    const auto found = known.find(device);
    if (found != known.end()) {
        return found->second;
    }
    const std::string source = FuseBlockSource(device);
    const bool refuses = !source.empty() && IsFatOnDevice(source);
    known.emplace(device, refuses);
    return refuses;
}

ChangeFlags FlagsOf(const EntryPath& entry) {
    struct statx info {};
    if (::statx(AT_FDCWD, entry.Joined().c_str(), AT_SYMLINK_NOFOLLOW, 0, &info) != 0) {
        return {};
    }
    return FlagsIn(info);
}

// The entries a dry run asks about come a folder at a time, and looking up
// the whole path for each cost more than the moves it foresees: the folder
// is looked up once and each entry asked about by name. A folder gone since
// answers nothing, which refuses nothing.
class LastFolder {
  public:
    LastFolder() = default;
    LastFolder(const LastFolder&) = delete;
    LastFolder& operator=(const LastFolder&) = delete;
    ~LastFolder() { Close(); }

    int For(const std::string& path) {
        if (path != path_) {
            Close();
            path_ = path;
            fd_ = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        }
        return fd_;
    }

  private:
    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
    }

    std::string path_;
    int fd_ = -1;
};

ChangeFlags FlagsOfEntry(const EntryPath& entry) {
    if (entry.Names().empty()) {
        return FlagsOf(entry);
    }
    thread_local LastFolder folder;
    const int fd = folder.For(entry.Parent().Joined());
    struct statx info {};
    if (fd < 0 || ::statx(fd, entry.LastName().c_str(), AT_SYMLINK_NOFOLLOW, 0, &info) != 0) {
        return {};
    }
    return FlagsIn(info);
}

// The kernel refuses a change to a flagged entry with EPERM.
Failure Refused() {
    return SystemFailure(EPERM);
}

}  // namespace

// Asked with the effective ids, as the kernel asks when the change is made;
// access control lists and read-only mounts count too. A sticky folder's
// rule on who may take an entry out is not asked.
FolderAccess FolderWriteAccess(const EntryPath& folder) {
    if (::faccessat(AT_FDCWD, folder.Joined().c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        const Failure denied = SystemFailure(errno);
        return {denied, denied};
    }
    const ChangeFlags flags = FlagsOf(folder);
    if (flags.immutable) {
        return {Refused(), Refused()};
    }
    return {{}, flags.append_only ? Refused() : Failure()};
}

// A folder moves there all the same, by a claim and a plain rename.
Failure EntryChangeAccess(const EntryPath& entry) {
    const ChangeFlags flags = FlagsOfEntry(entry);
    if (flags.immutable || flags.append_only) {
        return Refused();
    }
    if (!flags.is_folder && flags.device != std::pair<unsigned, unsigned>() &&
        MovesNoFileSafely(flags.device)) {
        return {kNoSafeMove, EPERM, {}};
    }
    return {};
}

}  // namespace karuneo::dry_run
