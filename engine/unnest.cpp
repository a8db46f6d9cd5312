#include "engine/unnest.h"

#include <new>

#include "engine/move_up.h"
#include "engine/status_text.h"

namespace karuneo {
namespace {

// A clash with a name the dropped folder already holds is retried with a new
// name; another failure of the rename is final.
constexpr int kTempNameAttempts = 16;

struct SingleEntry {
    int visible_count = 0;  // 0, 1 or 2 (meaning two or more)
    Entry last;
};

// Only whether there is exactly one visible entry matters, so the listing
// stops at the second: a folder of a million entries costs two.
Result<SingleEntry> FindSingleEntry(FileSystem& fs, const EntryPath& folder) {
    Result<SingleEntry> found;
    found.error = fs.ListEntries(folder, [&found](const Entry& entry) {
        if (entry.is_hidden) {
            return true;
        }
        found.value.last = entry;
        return ++found.value.visible_count < 2;
    });
    return found;
}

// Renaming the top of the chain first keeps an entry of the deepest folder
// that bears the top's name from clashing with it in the dropped folder.
ErrorNumber RenameToTempName(FileSystem& fs, const EntryPath& folder, std::string& sDeleteFolda) {
    ErrorNumber error = kFileAlreadyExists;
    for (int attempt = 0; attempt < kTempNameAttempts && error == kFileAlreadyExists; ++attempt) {
        sDeleteFolda = GetBaseName(fs.GetTempName());
        error = fs.RenameFolder(folder, sDeleteFolda);
    }
    if (error != kNoError) {
        sDeleteFolda.clear();
    }
    return error;
}

ErrorNumber DescendFromTop(WalkContext& walk, const EntryPath& sCur, const std::string& topName,
                           int& iNestLevel, const EntryPath& sParentPath,
                           std::string& sDeleteFolda) {
    if (const auto error = RenameToTempName(walk.fs, sCur.Child(topName), sDeleteFolda)) {
        return error;
    }
    ++iNestLevel;
    UnnestFolder(walk, sCur.Child(sDeleteFolda), iNestLevel, sParentPath, sDeleteFolda);
    if (!sDeleteFolda.empty()) {
        // The chain stayed behind: give it back the name the user knows.
        // When a moved entry has taken that name, the temporary name stays.
        walk.fs.RenameFolder(sCur.Child(sDeleteFolda), topName);
    }
    return kNoError;
}

ErrorNumber Descend(WalkContext& walk, const EntryPath& sCur, const std::string& name,
                    int& iNestLevel, const EntryPath& sParentPath, std::string& sDeleteFolda) {
    if (iNestLevel >= kMaxNestLevel) {
        return kOverflow;
    }
    if (iNestLevel == 0) {
        return DescendFromTop(walk, sCur, name, iNestLevel, sParentPath, sDeleteFolda);
    }
    ++iNestLevel;
    UnnestFolder(walk, sCur.Child(name), iNestLevel, sParentPath, sDeleteFolda);
    return kNoError;
}

ErrorNumber FlattenDeepest(WalkContext& walk, const EntryPath& sCur, const std::string& displayName,
                           const EntryPath& sParentPath, std::string& sDeleteFolda) {
    if (!MoveContentsUp(walk, sCur, displayName, sParentPath, sDeleteFolda)) {
        return kNoError;  // the failed move has reported its row; nothing was completed
    }
    const auto empty = IsFolderEmpty(walk.fs, sParentPath);
    if (!empty.ok()) {
        return empty.error;
    }
    walk.sink.AddResult(displayName, empty.value ? kStatusDoneEmpty : kStatusDone);
    return kNoError;
}

// The body of one level: any error it returns becomes the level's error row.
ErrorNumber UnnestLevel(WalkContext& walk, const EntryPath& sCur, int& iNestLevel,
                        const EntryPath& sParentPath, std::string& sDeleteFolda,
                        const std::string& displayName) {
    const auto single = FindSingleEntry(walk.fs, sCur);
    if (!single.ok()) {
        return single.error;
    }
    if (single.value.visible_count == 1 && single.value.last.is_folder) {
        return Descend(walk, sCur, single.value.last.name, iNestLevel, sParentPath, sDeleteFolda);
    }
    if (iNestLevel < 1) {
        walk.sink.AddResult(displayName, kStatusUntouched);
        return kNoError;
    }
    return FlattenDeepest(walk, sCur, displayName, sParentPath, sDeleteFolda);
}

ErrorNumber UnnestLevelCatching(WalkContext& walk, const EntryPath& sCur, int& iNestLevel,
                                const EntryPath& sParentPath, std::string& sDeleteFolda,
                                const std::string& displayName) {
    try {
        return UnnestLevel(walk, sCur, iNestLevel, sParentPath, sDeleteFolda, displayName);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (...) {
        return kUnexpected;
    }
}

// Keeps the dropped folder resolved for the whole walk, released on any exit.
class HeldRoot {
  public:
    HeldRoot(FileSystem& fs, const EntryPath& root) : fs_(fs) { fs_.HoldRoot(root); }
    ~HeldRoot() { fs_.ReleaseRoot(); }
    HeldRoot(const HeldRoot&) = delete;
    HeldRoot& operator=(const HeldRoot&) = delete;

  private:
    FileSystem& fs_;
};

}  // namespace

void ProcessDroppedPath(const std::string& path, FileSystem& fs, ResultSink& sink) {
    try {
        const EntryPath root(path);
        const HeldRoot held(fs, root);
        WalkContext walk{fs, sink};
        int iNestLevel = 0;
        std::string sDeleteFolda;
        UnnestFolder(walk, root, iNestLevel, root, sDeleteFolda);
    } catch (...) {
        // Only a sink that fails even to take the error row gets here; there
        // is nobody left to tell.
    }
}

void UnnestFolder(WalkContext& walk, const EntryPath& sCur, int& iNestLevel,
                  const EntryPath& sParentPath, std::string& sDeleteFolda) {
    const auto folderName = GetFolderName(walk.fs, sParentPath);
    if (folderName.error == kPathNotFound && iNestLevel == 0) {
        return;  // a dropped plain file, or a folder that is gone: ignored
    }
    // Below the top the walk has already renamed something, so even a folder
    // that vanished is reported. A failed lookup has no stored name to show:
    // the row then carries the name the path ends in.
    const std::string displayName = folderName.ok() ? folderName.value : sParentPath.LastName();
    ErrorNumber error = folderName.error;
    if (error == kNoError) {
        error = UnnestLevelCatching(walk, sCur, iNestLevel, sParentPath, sDeleteFolda, displayName);
    }
    if (error != kNoError) {
        walk.sink.AddResult(displayName, kStatusError);
    }
}

Result<std::string> GetFolderName(FileSystem& fs, const EntryPath& path) {
    return fs.FolderName(path);
}

std::string GetBaseName(std::string_view file_name) {
    const auto dot = file_name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return std::string(file_name);
    }
    return std::string(file_name.substr(0, dot));
}

}  // namespace karuneo
