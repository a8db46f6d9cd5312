#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "engine/dry_run/write_access.h"
#include "engine/entry_path.h"
#include "engine/file_system.h"

namespace karuneo::dry_run {

struct OverlayFolder;

// Keyed by NameKey. Hashed: a folder of a hundred thousand entries is looked
// up once per move, and the order of a listing is the file system's anyway.
template <typename T>
using NameMap = std::unordered_map<std::string, T>;
using NameSet = std::unordered_set<std::string>;

// An entry that a dry run has put somewhere; a folder brings its own changes.
struct OverlayEntry {
    Entry entry;
    std::unique_ptr<OverlayFolder> folder;  // set for folders
    // The folder it stands in on disk, for an entry that has moved.
    std::shared_ptr<const EntryPath> stood_in;
};

// What a dry run has changed in one folder, over what the disk holds at
// `source`, where the folder still stands on disk. Names are keyed by
// NameKey, so that two names the file system takes for one clash here too.
struct OverlayFolder {
    explicit OverlayFolder(EntryPath place)
        : source(std::move(place)), shared_source(std::make_shared<const EntryPath>(source)) {}

    EntryPath source;
    std::shared_ptr<const EntryPath> shared_source;  // for the entries that leave
    // Every entry on disk, once a listing of `source` has run to its end.
    std::optional<NameMap<Entry>> on_disk;
    // On-disk subfolders that a path led into, with their changes.
    NameMap<std::unique_ptr<OverlayFolder>> opened;
    NameSet gone;  // on-disk entries moved or removed
    NameMap<OverlayEntry> arrived;
    std::optional<FolderAccess> write_access;  // asked once: nothing here changes it

    // The entry of that name as the folder holds it now; needs `on_disk`.
    const Entry* Find(const std::string& name) const;
    // The state of a subfolder that Find gave; needs `on_disk`.
    OverlayFolder& Subfolder(const std::string& name);
    // Where the entry of that name that Find gave stands on disk.
    EntryPath OnDisk(const std::string& name) const;
    // Takes an entry that Find gave out of this folder.
    OverlayEntry Take(const std::string& name);
    void Put(OverlayEntry arriving);
    // Needs `on_disk`.
    bool IsEmpty() const { return arrived.empty() && gone.size() == on_disk->size(); }
};

}  // namespace karuneo::dry_run
