#include "engine/unnest.h"

#include <algorithm>
#include <new>

#include "engine/move_up.h"
#include "engine/status_text.h"
#include "engine/walk_report.h"

namespace karuneo {
namespace {

// A clash with a name the dropped folder already holds is retried with a new
// name; another failure of the rename is final.
constexpr int kTempNameAttempts = 16;

struct SingleEntry {
    long long visible_count = 0;  // below the top, 2 means two or more
    Entry last;
    std::vector<std::string> first_names;  // of the dropped folder, up to kNamedEntries + 1
};

// Only whether there is exactly one visible entry matters, so below the top
// the listing stops at the second: a folder of a million entries costs two.
// The dropped folder itself is counted to the end, so that a "未処理" row
// can say how many entries it holds.
Result<SingleEntry> FindSingleEntry(WalkContext& walk, const EntryPath& folder, bool count_all) {
    Result<SingleEntry> found;
    walk.attempt = Attempt::kList;
    found.error = walk.fs.ListEntries(folder, [&found, count_all](const Entry& entry) {
        if (entry.is_hidden) {
            return true;
        }
        found.value.last = entry;
        if (count_all && found.value.visible_count <= kNamedEntries) {
            found.value.first_names.push_back(entry.name);
        }
        return ++found.value.visible_count < 2 || count_all;
    });
    return found;
}

NotNested WhatItHolds(const SingleEntry& single) {
    if (single.visible_count != 1) {
        return single.visible_count == 0 ? NotNested::kEmpty : NotNested::kEntries;
    }
    if (single.last.is_link) {
        return NotNested::kSingleLink;
    }
    return single.last.is_mount_point ? NotNested::kSingleMountPoint : NotNested::kSingleFile;
}

UntouchedReason WhyNotNested(const SingleEntry& single) {
    UntouchedReason reason{WhatItHolds(single), single.visible_count, {}};
    if (single.visible_count <= kNamedEntries) {
        reason.names = single.first_names;
        std::sort(reason.names.begin(), reason.names.end());
    }
    return reason;
}

// Renaming the top of the chain first keeps an entry of the deepest folder
// that bears the top's name from clashing with it in the dropped folder.
Failure RenameToTempName(WalkContext& walk, const EntryPath& folder, std::string& sDeleteFolda) {
    walk.attempt = Attempt::kRename;
    // The last moment at which a stop leaves the folder exactly as it was.
    if (walk.control.StopRequested()) {
        return {kStopped, 0, folder.Below()};
    }
    Failure error(kFileAlreadyExists);
    for (int attempt = 0; attempt < kTempNameAttempts && error == kFileAlreadyExists; ++attempt) {
        sDeleteFolda = GetBaseName(walk.fs.GetTempName());
        error = walk.fs.RenameFolder(folder, sDeleteFolda);
    }
    if (error) {
        sDeleteFolda.clear();
    }
    return error;
}

Failure DescendFromTop(WalkContext& walk, const EntryPath& sCur, const std::string& topName,
                       int& iNestLevel, const EntryPath& sParentPath, std::string& sDeleteFolda) {
    walk.attempt = Attempt::kOpen;
    if (auto error = walk.fs.ClaimFolder(sCur.Child(topName))) {
        return error;
    }
    if (auto error = RenameToTempName(walk, sCur.Child(topName), sDeleteFolda)) {
        return error;
    }
    walk.top.own_name = topName;
    ++iNestLevel;
    UnnestFolder(walk, sCur.Child(sDeleteFolda), iNestLevel, sParentPath, sDeleteFolda);
    // The row below has done this already, unless the sink failed to take it.
    SettleChainName(walk, sParentPath, sDeleteFolda);
    return {};
}

Failure Descend(WalkContext& walk, const EntryPath& sCur, const std::string& name, int& iNestLevel,
                const EntryPath& sParentPath, std::string& sDeleteFolda) {
    if (iNestLevel >= kMaxNestLevel) {
        return {kOverflow, 0, sCur.Child(name).Below()};
    }
    if (iNestLevel == 0) {
        return DescendFromTop(walk, sCur, name, iNestLevel, sParentPath, sDeleteFolda);
    }
    ++iNestLevel;
    UnnestFolder(walk, sCur.Child(name), iNestLevel, sParentPath, sDeleteFolda);
    return {};
}

Failure ReportFlattened(WalkContext& walk, const std::string& displayName,
                        const EntryPath& sParentPath, std::string& sDeleteFolda) {
    walk.attempt = Attempt::kList;
    const auto empty = IsFolderEmpty(walk.fs, sParentPath);
    if (!empty.ok()) {
        return empty.error;
    }
    ReportDone(walk, displayName, empty.value ? kStatusDoneEmpty : kStatusDone, sParentPath,
               sDeleteFolda);
    return {};
}

Failure FlattenDeepest(WalkContext& walk, const EntryPath& sCur, const std::string& displayName,
                       const EntryPath& sParentPath, std::string& sDeleteFolda) {
    if (!MoveContentsUp(walk, sCur, displayName, sParentPath, sDeleteFolda)) {
        return {};  // the failed move has reported its row; nothing was completed
    }
    return ReportFlattened(walk, displayName, sParentPath, sDeleteFolda);
}

// The body of one level: any error it returns becomes the level's error row.
Failure UnnestLevel(WalkContext& walk, const EntryPath& sCur, int& iNestLevel,
                    const EntryPath& sParentPath, std::string& sDeleteFolda,
                    const std::string& displayName) {
    // Every folder the walk changes or empties is claimed before it looks
    // inside, so that two runs never work in one chain at once.
    if (auto error = walk.fs.ClaimFolder(sCur)) {
        return error;
    }
    const auto single = FindSingleEntry(walk, sCur, iNestLevel == 0);
    if (!single.ok()) {
        return single.error;
    }
    if (single.value.visible_count == 1 && single.value.last.is_folder) {
        return Descend(walk, sCur, single.value.last.name, iNestLevel, sParentPath, sDeleteFolda);
    }
    if (iNestLevel < 1) {
        walk.sink.AddResultWithReason(displayName, kStatusUntouched, WhyNotNested(single.value));
        return {};
    }
    return FlattenDeepest(walk, sCur, displayName, sParentPath, sDeleteFolda);
}

Failure UnnestLevelCatching(WalkContext& walk, const EntryPath& sCur, int& iNestLevel,
                            const EntryPath& sParentPath, std::string& sDeleteFolda,
                            const std::string& displayName) {
    try {
        return UnnestLevel(walk, sCur, iNestLevel, sParentPath, sDeleteFolda, displayName);
    } catch (const std::bad_alloc&) {
        return Failure(kOutOfMemory);
    } catch (...) {
        return Failure(kUnexpected);
    }
}

class NoControl final : public WalkControl {
  public:
    bool StopRequested() const override { return false; }
    void MoveProgress(long long /*moved*/, long long /*total*/) override {}
};

}  // namespace

WalkControl& UninterruptedWalk() {
    static NoControl none;
    return none;
}

void ProcessDroppedPath(const std::string& path, FileSystem& fs, ResultSink& sink,
                        WalkControl& control) {
    try {
        const EntryPath root(path);
        const HeldRoot held(fs, root);
        WalkContext walk(fs, sink, control);
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
    walk.attempt = Attempt::kOpen;
    const auto folderName = GetFolderName(walk.fs, sParentPath);
    if (folderName.error == kPathNotFound && iNestLevel == 0) {
        return;  // a dropped plain file, or a folder that is gone: ignored
    }
    // Below the top the walk has already renamed something, so even a folder
    // that vanished is reported. A failed lookup has no stored name to show:
    // the row then carries the name the path ends in.
    const std::string displayName = folderName.ok() ? folderName.value : sParentPath.LastName();
    Failure error = folderName.error;
    if (!error) {
        error = UnnestLevelCatching(walk, sCur, iNestLevel, sParentPath, sDeleteFolda, displayName);
    }
    if (error) {
        ReportError(walk, displayName, error, sParentPath, sDeleteFolda);
    }
}

void FinishCutOffWalk(WalkContext& walk, const std::optional<EntryPath>& lowest,
                      bool lowest_is_deepest, const std::string& displayName,
                      const EntryPath& sParentPath, std::string& sDeleteFolda) {
    Failure error;
    if (lowest && lowest_is_deepest) {
        error = FlattenDeepest(walk, *lowest, displayName, sParentPath, sDeleteFolda);
    } else {
        error = lowest ? RemoveEmptyChain(walk, *lowest, sDeleteFolda) : Failure();
        if (!error) {
            error = ReportFlattened(walk, displayName, sParentPath, sDeleteFolda);
        }
    }
    if (error) {
        ReportError(walk, displayName, error, sParentPath, sDeleteFolda);
    }
    SettleChainName(walk, sParentPath, sDeleteFolda);
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
