#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/error_number.h"
#include "engine/file_system.h"

// Declared here, or StatOf below would declare a karuneo::stat of its own.
struct stat;  // IWYU pragma: keep

namespace karuneo {
class EntryPath;

using RenameCall = int (*)(int from, const char* name, int to, const char* new_name,
                           unsigned int flags);

// The file-system layer on Linux (statx, renameat2, O_PATH). Every path below a
// root is opened component by component relative to its parent's handle with
// O_NOFOLLOW, so a folder swapped for a link mid-walk cannot lead a move or a
// removal out of the dropped folder. Names starting with "." are hidden.
class LinuxFileSystem final : public FileSystem {
  public:
    LinuxFileSystem();  // with the system's renameat2
    // Tests hand in a renameat2 that fails as some file systems do.
    explicit LinuxFileSystem(RenameCall rename);
    ~LinuxFileSystem() override;

    void HoldRoot(const EntryPath& root) override;
    void ReleaseRoot(const EntryPath& root) override;
    bool HoldsManyRoots() const override { return true; }
    Failure ClaimFolder(const EntryPath& folder) override;
    Result<std::string> FolderName(const EntryPath& folder) override;
    Failure ListEntries(const EntryPath& folder, const EntryVisitor& visit) override;
    Result<Identity> Identify(const EntryPath& entry) override;
    Result<FolderLook> LookOfFolder(const EntryPath& folder) override;
    Failure SyncFolder(const EntryPath& folder) override;
    Failure SyncFolders(std::span<const EntryPath> folders) override;

  protected:
    Failure RenamePlainFolder(const EntryPath& folder, const std::string& new_name) override;
    Result<std::unique_ptr<EntryMover>> OpenMove(const EntryPath& from,
                                                 const EntryPath& to) override;
    Failure RemoveEmptyChild(const EntryPath& folder) override;
    Failure CreateChildFolder(const EntryPath& folder) override;
    Failure SetChildLook(const EntryPath& folder, const FolderLook& look,
                         LookNotRestored* not_restored) override;

  private:
    // The entry's status, a link's own; the root's through links.
    Result<struct stat> StatOf(const EntryPath& entry) const;

    struct Held;
    // The latest hold of the path's root, or none.
    Held* HeldOf(const EntryPath& path) const;
    // The held root's descriptor for a path under it, else -1.
    int HeldFor(const EntryPath& path) const;

    RenameCall rename_;
    // Each folder claimed by a walk, open and locked, with its identity.
    struct Claim;
    // The roots held, latest last: one walk's, or each of a batch's runs'.
    std::vector<std::unique_ptr<Held>> held_;
};

}  // namespace karuneo
