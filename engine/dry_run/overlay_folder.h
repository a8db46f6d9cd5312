#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "engine/dry_run/write_access.h"
#include "engine/entry_path.h"
#include "engine/file_system.h"

namespace karuneo::dry_run {

struct OverlayFolder;

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
    std::optional<std::map<std::string, Entry>> on_disk;
    // On-disk subfolders that a path led into, with their changes.
    std::map<std::string, std::unique_ptr<OverlayFolder>> opened;
    std::set<std::string> gone;  // on-disk entries moved or removed
    std::map<std::string, OverlayEntry> arrived;
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
