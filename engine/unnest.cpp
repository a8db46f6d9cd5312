#include "engine/unnest.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "engine/entry_path.h"
#include "engine/file_system.h"
#include "engine/move_up.h"
#include "engine/nest_limit.h"
#include "engine/row_status.h"
#include "engine/walk_control.h"
#include "engine/walk_report.h"

namespace karuneo {
class ResultSink;

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

WalkOutcome Failed(Failure failure) {
    return {Completed{}, std::move(failure)};
}

WalkOutcome DescendFromTop(WalkContext& walk, const EntryPath& sCur, const std::string& topName,
                           int& iNestLevel, const EntryPath& sParentPath,
                           std::string& sDeleteFolda) {
    walk.attempt = Attempt::kOpen;
    if (auto error = walk.fs.ClaimFolder(sCur.Child(topName))) {
        return Failed(std::move(error));
    }
    if (auto error = RenameToTempName(walk, sCur.Child(topName), sDeleteFolda)) {
        return Failed(std::move(error));
    }
    walk.top.own_name = topName;
    ++iNestLevel;
    return UnnestFolder(walk, sCur.Child(sDeleteFolda), iNestLevel, sParentPath, sDeleteFolda);
}

WalkOutcome Descend(WalkContext& walk, const EntryPath& sCur, const std::string& name,
                    int& iNestLevel, const EntryPath& sParentPath, std::string& sDeleteFolda) {
    if (iNestLevel >= kMaxNestLevel) {
        return Failed({kOverflow, 0, sCur.Child(name).Below()});
    }
    if (iNestLevel == 0) {
        return DescendFromTop(walk, sCur, name, iNestLevel, sParentPath, sDeleteFolda);
    }
    ++iNestLevel;
    return UnnestFolder(walk, sCur.Child(name), iNestLevel, sParentPath, sDeleteFolda);
}

WalkOutcome Flattened(WalkContext& walk, const EntryPath& sParentPath) {
    walk.attempt = Attempt::kList;
    const auto empty = IsFolderEmpty(walk.fs, sParentPath);
    if (!empty.ok()) {
        return Failed(empty.error);
    }
    return Completed{empty.value ? RowStatus::kDoneEmpty : RowStatus::kDone, {}};
}

WalkOutcome FlattenDeepest(WalkContext& walk, const EntryPath& sCur, const EntryPath& sParentPath,
                           std::string& sDeleteFolda) {
    if (auto error = MoveContentsUp(walk, sCur, sParentPath, sDeleteFolda)) {
        return Failed(std::move(error));
    }
    return Flattened(walk, sParentPath);
}

WalkOutcome UnnestLevel(WalkContext& walk, const EntryPath& sCur, int& iNestLevel,
                        const EntryPath& sParentPath, std::string& sDeleteFolda) {
    walk.attempt = Attempt::kOpen;
    // Every folder the walk changes or empties is claimed before it looks
    // inside, so that two runs never work in one chain at once.
    if (auto error = walk.fs.ClaimFolder(sCur)) {
        return Failed(std::move(error));
    }
    const auto single = FindSingleEntry(walk, sCur, iNestLevel == 0);
    if (!single.ok()) {
        return Failed(single.error);
    }
    if (single.value.visible_count == 1 && single.value.last.is_folder) {
        return Descend(walk, sCur, single.value.last.name, iNestLevel, sParentPath, sDeleteFolda);
    }
    if (iNestLevel < 1) {
        return Completed{RowStatus::kUntouched, WhyNotNested(single.value)};
    }
    return FlattenDeepest(walk, sCur, sParentPath, sDeleteFolda);
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
        const auto folderName = GetFolderName(fs, root);
        if (folderName.error == kPathNotFound) {
            return;  // a dropped plain file, or a folder that is gone: ignored
        }
        // A failed lookup has no stored name to show: the row then carries
        // the name the path ends in.
        walk.displayName = folderName.ok() ? folderName.value : root.LastName();
        int iNestLevel = 0;
        std::string sDeleteFolda;
        const WalkOutcome outcome = folderName.ok()
                                        ? UnnestFolder(walk, root, iNestLevel, root, sDeleteFolda)
                                        : Failed(folderName.error);
        ReportOutcome(walk, outcome, root, sDeleteFolda);
    } catch (...) {
        // Only a sink that fails even to take the error row gets here; there
        // is nobody left to tell.
    }
}

WalkOutcome UnnestFolder(WalkContext& walk, const EntryPath& sCur, int& iNestLevel,
                         const EntryPath& sParentPath, std::string& sDeleteFolda) {
    try {
        return UnnestLevel(walk, sCur, iNestLevel, sParentPath, sDeleteFolda);
    } catch (const std::bad_alloc&) {
        return Failed(Failure(kOutOfMemory));
    } catch (...) {
        return Failed(Failure(kUnexpected));
    }
}

void FinishCutOffWalk(WalkContext& walk, const std::optional<EntryPath>& lowest,
                      bool lowest_is_deepest, const EntryPath& sParentPath,
                      std::string& sDeleteFolda) {
    WalkOutcome outcome;
    if (lowest && lowest_is_deepest) {
        outcome = FlattenDeepest(walk, *lowest, sParentPath, sDeleteFolda);
    } else if (auto error = lowest ? RemoveEmptyChain(walk, *lowest, sDeleteFolda) : Failure()) {
        outcome = Failed(std::move(error));
    } else {
        outcome = Flattened(walk, sParentPath);
    }
    ReportOutcome(walk, outcome, sParentPath, sDeleteFolda);
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
