#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "engine/dry_run/write_access.h"
#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/fat_through_fuse_linux.h"
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

// The real run changes nothing there, not even a folder's name, and says
// so at its first change; so does this.
Failure EntryChangeAccess(const EntryPath& entry) {
    const ChangeFlags flags = FlagsOfEntry(entry);
    if (flags.immutable || flags.append_only) {
        return Refused();
    }
    if (flags.device != std::pair<unsigned, unsigned>() &&
        IsFatThroughFuse(flags.device.first, flags.device.second)) {
        return {kNoSafeMove, EPERM, {}};
    }
    return {};
}

}  // namespace karuneo::dry_run
