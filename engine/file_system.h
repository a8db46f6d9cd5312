#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "engine/entry_path.h"
#include "engine/error_number.h"

namespace karuneo {

struct Entry {
    std::string name;
    // A link, junction or mount point is never a folder here, whatever it
    // points at: the walk must not be led out of the dropped folder.
    bool is_folder = false;
    // Hidden entries are not counted, but they are moved like any other.
    bool is_hidden = false;
    // Only to tell a user what a folder holds; the walk goes by is_folder.
    bool is_link = false;  // a symbolic link or junction, or another reparse point
    bool is_mount_point = false;
};

// Return false to stop the listing early.
using EntryVisitor = std::function<bool(const Entry&)>;

// The only way the engine touches the disk. One implementation per operating
// system, and a failing fake for tests. Nothing here throws: every failure is
// a Failure, which names the entry it concerns. Every path below a root is
// resolved without following links.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Resolves the dropped folder `root` once, for one walk: until
    // ReleaseRoot, every call on a path with this root works from the folder
    // it named now, however its text would resolve later (it may run through
    // the chain itself, as "D/A/.." does). A layer that resolves nothing ahead
    // may keep these defaults; one that cannot resolve the root holds nothing.
    virtual void HoldRoot(const EntryPath& root) { (void)root; }
    virtual void ReleaseRoot() {}

    // The dropped folder's own name as stored on disk; kPathNotFound when the
    // root is not an existing folder (a plain file included).
    virtual Result<std::string> FolderName(const EntryPath& folder) = 0;

    // Every entry of the folder but "." and "..", hidden ones included.
    virtual Failure ListEntries(const EntryPath& folder, const EntryVisitor& visit) = 0;

    // Renames a folder where it stands. Never replaces an existing entry:
    // kFileAlreadyExists when the new name is taken.
    virtual Failure RenameFolder(const EntryPath& folder, std::string_view new_name) = 0;

    // A fresh name of the form base.extension, unlikely to exist anywhere.
    virtual std::string GetTempName() = 0;

    // Moves the named direct entries of `from`, in order, into `to` under the
    // same names. Stops at the first failure: what moved stays moved, the rest
    // stays put. Never replaces an existing entry and never copies.
    virtual Failure MoveEntries(const EntryPath& from, std::span<const std::string> names,
                                const EntryPath& to) = 0;

    // Removes a folder only if it is empty; never recursive, never forced.
    virtual Failure RemoveEmptyFolder(const EntryPath& folder) = 0;
};

}  // namespace karuneo
