#pragma once

#include "engine/entry_path.h"
#include "engine/error_number.h"

namespace karuneo::dry_run {

// Whether this process may add entries to the folder standing at `folder` and
// take entries out of it: no failure, or the one a change there would meet
// (no permission, a read-only file system), without an entry named.
Failure FolderWriteAccess(const EntryPath& folder);

}  // namespace karuneo::dry_run
