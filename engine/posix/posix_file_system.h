#pragma once

#include <stdio.h>  // renameat2

#include <random>

#include "engine/file_system.h"
#include "engine/posix/unique_fd.h"

namespace karuneo {

using RenameCall = int (*)(int from, const char* name, int to, const char* new_name,
                           unsigned int flags);

// The file-system layer on Linux and other POSIX systems. Every path below a
// root is opened component by component relative to its parent's handle with
// O_NOFOLLOW, so a folder swapped for a link mid-walk cannot lead a move or a
// removal out of the dropped folder. Names starting with "." are hidden.
class PosixFileSystem final : public FileSystem {
  public:
    // Tests hand in a renameat2 that fails as some file systems do.
    explicit PosixFileSystem(RenameCall rename = &::renameat2);

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
    // The held root's descriptor for a path under it, else -1.
    int HeldFor(const EntryPath& path) const;

    RenameCall rename_;
    std::string held_root_;
    std::string held_name_;
    posix::UniqueFd held_fd_;
    std::mt19937_64 random_;
};

}  // namespace karuneo
