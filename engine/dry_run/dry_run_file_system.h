#pragma once

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "engine/error_number.h"
#include "engine/file_system.h"

namespace karuneo {
class EntryPath;
}  // namespace karuneo

namespace karuneo::dry_run {
struct OverlayFolder;

// A file-system layer that reads through to `inner` and keeps every change in
// memory, so that the walk runs over it unchanged and reports what a real run
// would report now, failures included. Each change it keeps is written to
// `operations` as one line ("rename A -> karuneo0a1b2c3d", "move ... -> ...",
// "remove ...", "rename back ..."), paths relative to the dropped folder that
// an "in FOLDER" line names first. It never asks `inner` to change anything.
//
// What it cannot see: a change another program makes before the real run; a
// failure that the disk only shows when asked for the change; and the order
// in which the disk will list a folder that the dry run has changed, which
// decides what a move that fails part-way leaves behind there.
class DryRunFileSystem final : public FileSystem {
  public:
    // Out of line, where OverlayFolder is complete.
    DryRunFileSystem(FileSystem& inner, std::ostream& operations);
    ~DryRunFileSystem() override;

    // Held below too, so that a dropped path running through its own chain
    // ("D/A/..") names the same folder in the preview as in the real run.
    void HoldRoot(const EntryPath& root) override { inner_.HoldRoot(root); }
    void ReleaseRoot(const EntryPath& root) override { inner_.ReleaseRoot(root); }
    // Claimed below too: a preview of a folder that a run is working in
    // says so, as the real run would.
    Failure ClaimFolder(const EntryPath& folder) override;
    Result<std::string> FolderName(const EntryPath& folder) override;
    Failure ListEntries(const EntryPath& folder, const EntryVisitor& visit) override;
    std::string GetTempName() override { return inner_.GetTempName(); }
    // Read from the disk: an undo or a recovery asks before it changes anything.
    Result<Identity> Identify(const EntryPath& entry) override { return inner_.Identify(entry); }
    Result<FolderLook> LookOfFolder(const EntryPath& folder) override {
        return inner_.LookOfFolder(folder);
    }

  protected:
    Failure RenamePlainFolder(const EntryPath& folder, const std::string& new_name) override;
    Result<std::unique_ptr<EntryMover>> OpenMove(const EntryPath& from,
                                                 const EntryPath& to) override;
    Failure RemoveEmptyChild(const EntryPath& folder) override;
    Failure CreateChildFolder(const EntryPath& folder) override;
    Failure SetChildLook(const EntryPath& folder, const FolderLook& look,
                         LookNotRestored* not_restored) override;

  private:
    struct RootMatch {
        std::vector<std::string> key;
        OverlayFolder* base = nullptr;   // the dropped folder it lies in, if any
        std::vector<std::string> below;  // names from there down to it
    };

    RootMatch MatchRoot(const EntryPath& root) const;
    OverlayFolder& AddRoot(const RootMatch& match, const EntryPath& root);
    void TakeInEarlierRoots(OverlayFolder& root, const std::vector<std::string>& key);
    Result<std::string> DroppedFolderWithin(OverlayFolder& earlier,
                                            const std::vector<std::string>& below,
                                            const EntryPath& folder);
    Result<OverlayFolder*> Resolve(const EntryPath& folder);
    // The folder that holds `entry`, its listing read.
    Result<OverlayFolder*> LoadedParent(const EntryPath& entry);
    Result<OverlayFolder*> Descend(OverlayFolder* folder, const std::vector<std::string>& names);
    Failure Load(OverlayFolder& folder);
    // A failure names `moved`, the entry renamed or moved, as a real run's would.
    Failure CheckMove(OverlayFolder& from, const std::string& name, OverlayFolder& to,
                      const std::string& new_name, const EntryPath& moved);
    void Print(const EntryPath& where, const std::string& line);

    FileSystem& inner_;
    std::ostream& operations_;
    // Dropped folders by their path's names, "." left out. One that lies
    // inside another is reached through it, so that each sees the other's
    // changes as a real run would.
    std::map<std::vector<std::string>, std::unique_ptr<OverlayFolder>> roots_;
    std::string last_root_;
    bool printed_any_ = false;
};

}  // namespace karuneo::dry_run
