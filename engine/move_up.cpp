#include "engine/move_up.h"

#include <cstddef>
#include <vector>

#include "engine/entry_path.h"
#include "engine/file_system.h"
#include "engine/reason/row_reason.h"
#include "engine/unnest.h"
#include "engine/walk_control.h"

namespace karuneo {
namespace {

struct Contents {
    std::vector<std::string> files;  // links and anything else that is no folder
    std::vector<std::string> folders;
};

// One listing serves both moves; hidden entries move like the others.
Result<Contents> ListContents(FileSystem& fs, const EntryPath& folder) {
    Result<Contents> contents;
    contents.error = fs.ListEntries(folder, [&contents](const Entry& entry) {
        (entry.is_folder ? contents.value.folders : contents.value.files).push_back(entry.name);
        return true;
    });
    return contents;
}

Failure MoveAll(WalkContext& walk, const EntryPath& from, const EntryPath& to) {
    walk.attempt = Attempt::kList;
    const auto contents = ListContents(walk.fs, from);
    if (!contents.ok()) {
        return contents.error;
    }
    walk.attempt = Attempt::kMove;
    const auto& [files, folders] = contents.value;
    const auto total = static_cast<long long>(files.size() + folders.size());
    long long done = 0;
    // Between two entries, never inside one: what has moved stays moved and
    // the rest waits, as after any failed move.
    const BeforeEachEntry before_each = [&walk, &done, total](std::size_t moved) -> Failure {
        if (walk.control.StopRequested()) {
            return Failure(kStopped);
        }
        walk.control.MoveProgress(done + static_cast<long long>(moved), total);
        return {};
    };
    if (auto error = walk.fs.MoveEntries(from, files, to, before_each)) {
        return error;
    }
    done = static_cast<long long>(files.size());
    if (auto error = walk.fs.MoveEntries(from, folders, to, before_each)) {
        return error;
    }
    walk.control.MoveProgress(total, total);
    return {};
}

}  // namespace

// Only empty folders go, deepest first. A folder that still holds something
// (an entry the listing hid, or one that arrived meanwhile) stops the removal,
// and it and every folder above it stay: that is no failure, but the row
// tells which folder stayed. Any other refusal (no permission, an
// append-only parent) is one.
Failure RemoveEmptyChain(WalkContext& walk, const EntryPath& deepest, std::string& sDeleteFolda) {
    walk.attempt = Attempt::kRemove;
    for (EntryPath folder = deepest; !folder.IsRoot(); folder = folder.Parent()) {
        auto error = walk.fs.RemoveEmptyFolder(folder);
        if (error == kFileAlreadyExists) {
            walk.kept = folder.Below();
            return {};
        }
        if (error) {
            return error;
        }
    }
    sDeleteFolda.clear();
    return {};
}

Failure MoveContentsUp(WalkContext& walk, const EntryPath& sCur, const EntryPath& sParentPath,
                       std::string& sDeleteFolda) {
    if (auto error = MoveAll(walk, sCur, sParentPath)) {
        return error;
    }
    return RemoveEmptyChain(walk, sCur, sDeleteFolda);
}

Result<bool> IsFolderEmpty(FileSystem& fs, const EntryPath& path) {
    Result<bool> empty{true};
    empty.error = fs.ListEntries(path, [&empty](const Entry& entry) {
        if (entry.is_hidden) {
            return true;
        }
        empty.value = false;
        return false;
    });
    return empty;
}

}  // namespace karuneo
