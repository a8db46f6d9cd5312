#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/file_system.h"

namespace karuneo {

// The file-system layer on Windows: wide-character calls on long-form
// absolute paths, so that names outside the ANSI code page and paths past
// 260 characters work. Entries with the hidden or the system attribute are
// hidden; a reparse point (junction, symbolic link, mount point) is never a
// folder and is never passed through on the way below the dropped folder.
class Win32FileSystem final : public FileSystem {
  public:
    Win32FileSystem();
    ~Win32FileSystem() override;
    Win32FileSystem(const Win32FileSystem&) = delete;
    Win32FileSystem& operator=(const Win32FileSystem&) = delete;

    struct HeldRoot;

    void HoldRoot(const EntryPath& root) override;
    void ReleaseRoot(const EntryPath& root) override;
    Failure ClaimFolder(const EntryPath& folder) override;
    Result<std::string> FolderName(const EntryPath& folder) override;
    Failure ListEntries(const EntryPath& folder, const EntryVisitor& visit) override;
    Result<Identity> Identify(const EntryPath& entry) override;
    Result<FolderLook> LookOfFolder(const EntryPath& folder) override;

  protected:
    Failure RenamePlainFolder(const EntryPath& folder, const std::string& new_name) override;
    Result<std::unique_ptr<EntryMover>> OpenMove(const EntryPath& from,
                                                 const EntryPath& to) override;
    Failure RemoveEmptyChild(const EntryPath& folder) override;
    Failure CreateChildFolder(const EntryPath& folder) override;
    Failure SetChildLook(const EntryPath& folder, const FolderLook& look,
                         LookNotRestored* not_restored) override;

  private:
    void ReleaseAll();

    std::unique_ptr<HeldRoot> held_root_;  // the dropped folder during a walk
    struct Claim {
        std::uint32_t volume;
        std::uint64_t index;
        std::shared_ptr<void> token;  // released and closed when the walk ends
    };
    std::vector<Claim> claims_;
    // The walk's claim on `folder`, out of its list; nothing when it has none.
    std::optional<Claim> TakeClaimOf(const EntryPath& folder);
};

}  // namespace karuneo
