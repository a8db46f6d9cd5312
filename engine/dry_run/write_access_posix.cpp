#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "engine/dry_run/write_access.h"
#include "engine/posix/errno_mapping.h"

namespace karuneo::dry_run {

// Asked with the effective ids, as the kernel asks when the change is made;
// access control lists and read-only mounts count too. A sticky folder's
// rule on who may take an entry out is not asked.
Failure FolderWriteAccess(const EntryPath& folder) {
    if (::faccessat(AT_FDCWD, folder.Joined().c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        return {posix::FromErrno(errno), errno, {}};
    }
    return {};
}

}  // namespace karuneo::dry_run
