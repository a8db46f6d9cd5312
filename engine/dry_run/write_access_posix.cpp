#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "engine/dry_run/write_access.h"
#include "engine/posix/errno_mapping.h"

namespace karuneo::dry_run {
namespace {

struct ChangeFlags {
    bool immutable = false;
    bool append_only = false;
};

// chattr's flags, as statx reports them without opening the entry (a link
// is asked about itself). A file system that cannot tell reports none, and
// the change itself will say.
ChangeFlags FlagsOf(const EntryPath& entry) {
    struct statx info {};
    if (::statx(AT_FDCWD, entry.Joined().c_str(), AT_SYMLINK_NOFOLLOW, 0, &info) != 0) {
        return {};
    }
    const auto known = info.stx_attributes_mask & info.stx_attributes;
    return {(known & STATX_ATTR_IMMUTABLE) != 0, (known & STATX_ATTR_APPEND) != 0};
}

// The kernel refuses a change to a flagged entry with EPERM.
Failure Refused() {
    return {posix::FromErrno(EPERM), EPERM, {}};
}

}  // namespace

// Asked with the effective ids, as the kernel asks when the change is made;
// access control lists and read-only mounts count too. A sticky folder's
// rule on who may take an entry out is not asked.
FolderAccess FolderWriteAccess(const EntryPath& folder) {
    if (::faccessat(AT_FDCWD, folder.Joined().c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        const Failure denied{posix::FromErrno(errno), errno, {}};
        return {denied, denied};
    }
    const ChangeFlags flags = FlagsOf(folder);
    if (flags.immutable) {
        return {Refused(), Refused()};
    }
    return {{}, flags.append_only ? Refused() : Failure()};
}

Failure EntryChangeAccess(const EntryPath& entry) {
    const ChangeFlags flags = FlagsOf(entry);
    return flags.immutable || flags.append_only ? Refused() : Failure();
}

}  // namespace karuneo::dry_run
