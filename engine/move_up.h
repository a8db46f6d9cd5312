#pragma once

#include <string>

#include "engine/error_number.h"

namespace karuneo {
class EntryPath;
class FileSystem;
struct WalkContext;

// Moves every entry of the deepest folder `sCur` into the dropped folder,
// files before folders, then removes the emptied chain that hangs below
// `sDeleteFolda`, which it clears once the whole chain is gone. After a
// failed move nothing is removed. A chain folder that is not removed because
// it still holds something stays without complaint; one refused for any
// other reason is a failure too.
Failure MoveContentsUp(WalkContext& walk, const EntryPath& sCur, const EntryPath& sParentPath,
                       std::string& sDeleteFolda);

// Removes the emptied chain from `deepest` up, deepest first, and clears
// `sDeleteFolda` once all of it is gone. A folder that still holds something
// stays, and so does every folder above it: that is no failure, but
// walk.kept names it.
Failure RemoveEmptyChain(WalkContext& walk, const EntryPath& deepest, std::string& sDeleteFolda);

// True when the folder holds no entry that a listing shows.
Result<bool> IsFolderEmpty(FileSystem& fs, const EntryPath& path);

}  // namespace karuneo
