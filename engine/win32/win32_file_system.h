#pragma once

#include <memory>
#include <random>

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

    void HoldRoot(const EntryPath& root) override;
    void ReleaseRoot() override;
    Result<std::string> FolderName(const EntryPath& folder) override;
    Failure ListEntries(const EntryPath& folder, const EntryVisitor& visit) override;
    Failure RenameFolder(const EntryPath& folder, std::string_view new_name) override;
    std::string GetTempName() override;
    Failure MoveEntries(const EntryPath& from, std::span<const std::string> names,
                        const EntryPath& to) override;
    Failure RemoveEmptyFolder(const EntryPath& folder) override;

  private:
    std::shared_ptr<void> held_root_;  // the dropped folder's handle during a walk
    std::mt19937_64 random_;
};

}  // namespace karuneo
