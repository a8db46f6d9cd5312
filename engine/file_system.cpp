#include "engine/file_system.h"

#include "engine/entry_path.h"
#include "engine/path_separator.h"
#include "engine/temp_name.h"

namespace karuneo {

bool IsPlainName(std::string_view name) {
    // A NUL would cut the name short where the system reads it.
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(kNotInNames) == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::string FileSystem::GetTempName() {
    return NewTempName();
}

Failure FileSystem::RenameFolder(const EntryPath& folder, std::string_view new_name) {
    const std::string target(new_name);
    if (folder.IsRoot() || !IsPlainName(target)) {
        return {kBadFileName, 0, folder.Below()};
    }
    return RenamePlainFolder(folder, target);
}

Failure FileSystem::MoveEntries(const EntryPath& from, std::span<const std::string> names,
                                const EntryPath& to, const BeforeEachEntry& before_each) {
    if (names.empty()) {
        return {};
    }
    auto mover = OpenMove(from, to);
    if (!mover.ok()) {
        return mover.error();
    }
    for (std::size_t moved = 0; moved < names.size(); ++moved) {
        const std::string& name = names[moved];
        Failure error = before_each ? before_each(moved) : Failure();
        if (!error) {
            error = IsPlainName(name) ? mover.value()->Move(name) : Failure(kBadFileName);
        }
        if (error) {
            const std::string entry = from.Child(name).Below();
            if (error.entry.empty()) {
                error.entry = entry;
            }
            if (error.entry == entry && error.name.empty()) {
                error.name = name;
            }
            return error;
        }
    }
    return {};
}

Failure FileSystem::SyncFolders(std::span<const EntryPath> folders) {
    for (const EntryPath& folder : folders) {
        if (auto error = SyncFolder(folder)) {
            return error;
        }
    }
    return {};
}

Failure FileSystem::RemoveEmptyFolder(const EntryPath& folder) {
    if (folder.IsRoot()) {
        return Failure(kBadFileName);
    }
    return RemoveEmptyChild(folder);
}

Result<Identity> FileSystem::Identify(const EntryPath& entry) {
    return Failure(kUnexpected, 0, entry.Below());
}

Result<FolderLook> FileSystem::LookOfFolder(const EntryPath& folder) {
    return Failure(kUnexpected, 0, folder.Below());
}

Failure FileSystem::CreateFolder(const EntryPath& folder) {
    if (folder.IsRoot() || !IsPlainName(folder.LastName())) {
        return {kBadFileName, 0, folder.Below()};
    }
    return CreateChildFolder(folder);
}

Failure FileSystem::SetFolderLook(const EntryPath& folder, const FolderLook& look,
                                  LookNotRestored* not_restored) {
    if (folder.IsRoot()) {
        return Failure(kBadFileName);
    }
    LookNotRestored ignored;
    return SetChildLook(folder, look, not_restored != nullptr ? not_restored : &ignored);
}

Failure FileSystem::CreateChildFolder(const EntryPath& folder) {
    return {kUnexpected, 0, folder.Below()};
}

Failure FileSystem::SetChildLook(const EntryPath& folder, const FolderLook& /*look*/,
                                 LookNotRestored* /*not_restored*/) {
    return {kUnexpected, 0, folder.Below()};
}

}  // namespace karuneo
