#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "engine/error_number.h"
#include "engine/file_system.h"

namespace karuneo {
class EntryPath;
}  // namespace karuneo

namespace karuneo::extract {

// What archivers add beside what was packed: macOS's resource forks and
// folder settings, Windows's thumbnails and folder settings.
bool IsArchiverJunk(std::string_view name);

// Another layer, but for the listing of the new folder itself, where the
// archivers' junk shows hidden: beside a single wrapper it does not keep
// the wrapper from being un-nested, and it stays where it is, as hidden
// entries of a dropped folder do.
class JunkHidden final : public FileSystem {
  public:
    JunkHidden(FileSystem& inner, std::string root) : inner_(inner), root_(std::move(root)) {}

    void HoldRoot(const EntryPath& root) override { inner_.HoldRoot(root); }
    void ReleaseRoot(const EntryPath& root) override { inner_.ReleaseRoot(root); }
    bool HoldsManyRoots() const override { return inner_.HoldsManyRoots(); }
    Failure ClaimFolder(const EntryPath& folder) override { return inner_.ClaimFolder(folder); }
    Result<std::string> FolderName(const EntryPath& folder) override {
        return inner_.FolderName(folder);
    }
    Failure ListEntries(const EntryPath& folder, const EntryVisitor& visit) override;
    std::string GetTempName() override { return inner_.GetTempName(); }
    Failure SyncFolder(const EntryPath& folder) override { return inner_.SyncFolder(folder); }
    Failure SyncFolders(std::span<const EntryPath> folders) override {
        return inner_.SyncFolders(folders);
    }
    Result<Identity> Identify(const EntryPath& entry) override { return inner_.Identify(entry); }
    Result<FolderLook> LookOfFolder(const EntryPath& folder) override {
        return inner_.LookOfFolder(folder);
    }

  protected:
    Failure RenamePlainFolder(const EntryPath& folder, const std::string& new_name) override {
        return inner_.RenameFolder(folder, new_name);
    }
    Result<std::unique_ptr<EntryMover>> OpenMove(const EntryPath& from,
                                                 const EntryPath& to) override {
        return OpenMoveIn(inner_, from, to);
    }
    Failure RemoveEmptyChild(const EntryPath& folder) override {
        return inner_.RemoveEmptyFolder(folder);
    }
    Failure CreateChildFolder(const EntryPath& folder) override {
        return inner_.CreateFolder(folder);
    }
    Failure SetChildLook(const EntryPath& folder, const FolderLook& look,
                         LookNotRestored* not_restored) override {
        return inner_.SetFolderLook(folder, look, not_restored);
    }

  private:
    FileSystem& inner_;
    std::string root_;
};

}  // namespace karuneo::extract
