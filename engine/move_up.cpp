#include "engine/move_up.h"

#include <vector>

#include "engine/status_text.h"

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

ErrorNumber MoveAll(FileSystem& fs, const EntryPath& from, const EntryPath& to) {
    const auto contents = ListContents(fs, from);
    if (!contents.ok()) {
        return contents.error;
    }
    if (const auto error = fs.MoveEntries(from, contents.value.files, to)) {
        return error;
    }
    return fs.MoveEntries(from, contents.value.folders, to);
}

// Only empty folders go, deepest first. A folder that still holds something
// (an entry the listing hid, or one that arrived meanwhile) stops the removal,
// and it and every folder above it stay: that is no failure. Any other refusal
// (no permission, an append-only parent) is one.
ErrorNumber RemoveEmptyChain(FileSystem& fs, const EntryPath& deepest, std::string& sDeleteFolda) {
    for (EntryPath folder = deepest; !folder.IsRoot(); folder = folder.Parent()) {
        const auto error = fs.RemoveEmptyFolder(folder);
        if (error != kNoError) {
            return error == kFileAlreadyExists ? kNoError : error;
        }
    }
    sDeleteFolda.clear();
    return kNoError;
}

}  // namespace

bool MoveContentsUp(WalkContext& walk, const EntryPath& sCur, std::string_view displayName,
                    const EntryPath& sParentPath, std::string& sDeleteFolda) {
    if (MoveAll(walk.fs, sCur, sParentPath) != kNoError ||
        RemoveEmptyChain(walk.fs, sCur, sDeleteFolda) != kNoError) {
        walk.sink.AddResult(displayName, kStatusError);
        return false;
    }
    return true;
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
