#pragma once

#include "engine/entry_path.h"
#include "engine/error_number.h"

namespace karuneo::dry_run {

// What would stop this process from changing the folder standing at
// `folder`, each without an entry named: no failure where nothing would.
struct FolderAccess {
    Failure adding;  // an entry put into it
    Failure taking;  // an entry of it renamed, moved out or removed
};

// No permission or a read-only file system stop both; on Linux an immutable
// folder stops both and an append-only one only taking.
FolderAccess FolderWriteAccess(const EntryPath& folder);

// What would stop the entry at `entry` itself from being renamed, moved or
// removed whatever its folder allows: on Linux its immutable or append-only
// flag.
Failure EntryChangeAccess(const EntryPath& entry);

}  // namespace karuneo::dry_run
