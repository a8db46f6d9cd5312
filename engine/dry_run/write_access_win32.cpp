#include "engine/dry_run/write_access.h"

namespace karuneo::dry_run {

// Windows grants or refuses a change by the folder's access control list,
// which only the change itself reads reliably; the read-only attribute does
// not stop changes inside a folder. The dry run takes the change as allowed.
FolderAccess FolderWriteAccess(const EntryPath&) {
    return {};
}

Failure EntryChangeAccess(const EntryPath&) {
    return {};
}

}  // namespace karuneo::dry_run
