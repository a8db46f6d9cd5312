#pragma once

#include <memory>

#include "engine/file_system.h"

namespace karuneo {

// The file-system layer on Windows: wide-character calls on long-form
// absolute paths, so that names outside the ANSI code page and paths past
// 260 characters work. Entries with the hidden or the system attribute are
// hidden; a reparse point (junction, symbolic link, mount point) is never a
// folder and is never passed through on the way below the dropped folder.
class Win32FileSystem final : public FileSystem {
  public:
    void HoldRoot(const EntryPath& root) override;
    void ReleaseRoot() override;
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
    Failure SetChildLook(const EntryPath& folder, const FolderLook& look) override;

  private:
    std::shared_ptr<void> held_root_;  // the dropped folder's handle during a walk
};

}  // namespace karuneo
