#include "engine/run/flatten_run.h"

#include <memory>
#include <utility>
#include <vector>

#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/file_system.h"
#include "engine/reason/row_reason.h"
#include "engine/row_status.h"
#include "engine/run/flatten_plan.h"
#include "engine/run/run_recorder.h"
#include "engine/walk_control.h"

namespace karuneo {
namespace {

// A clash with a name the dropped folder already holds is retried with a new
// name; another failure of the rename is final.
constexpr int kTempNameAttempts = 16;

// Renaming the top of the chain first keeps an entry of the deepest folder
// that bears the top's name from clashing with it in the dropped folder.
Failure RenameToTempName(WalkContext& walk, const FlattenPlan& plan, std::string& sDeleteFolda) {
    const EntryPath top = plan.root.Child(plan.chain.front().name);
    walk.attempt = Attempt::kRename;
    // The last moment at which a stop leaves the folder exactly as it was.
    if (walk.control.StopRequested()) {
        return {kStopped, 0, top.Below()};
    }
    Failure error(kFileAlreadyExists);
    for (int attempt = 0; attempt < kTempNameAttempts && error == kFileAlreadyExists; ++attempt) {
        // A name given is the one a batch's journal holds already.
        if (attempt > 0 || sDeleteFolda.empty()) {
            sDeleteFolda = GetBaseName(walk.fs.GetTempName());
        }
        walk.recorder.Begin(plan, sDeleteFolda);
        error = walk.fs.RenameFolder(top, sDeleteFolda);
    }
    if (error) {
        sDeleteFolda.clear();
    }
    return error;
}

// Between two entries, never inside one: what has moved stays moved and the
// rest waits, as after any failed move. Each entry is recorded once it has
// moved, which the count before the next one tells.
Failure MoveUp(WalkContext& walk, const EntryPath& from, const EntryPath& to,
               std::span<const std::string> names) {
    walk.attempt = Attempt::kMove;
    const auto total = static_cast<long long>(names.size());
    std::size_t recorded = 0;
    const auto record_until = [&walk, &names, &recorded](std::size_t moved) {
        for (; recorded < moved; ++recorded) {
            walk.recorder.Moved(names[recorded]);
        }
    };
    const BeforeEachEntry before_each = [&walk, &record_until, total](std::size_t moved) {
        record_until(moved);
        if (walk.control.StopRequested()) {
            return Failure(kStopped);
        }
        walk.control.MoveProgress(static_cast<long long>(moved), total);
        return Failure();
    };
    Failure error = walk.fs.MoveEntries(from, names, to, before_each);
    if (!error) {
        record_until(names.size());
        walk.control.MoveProgress(total, total);
    }
    return error;
}

// Only empty folders go, deepest first. A folder that still holds something
// (an entry the listing hid, or one that arrived meanwhile) stops the removal,
// and it and every folder above it stay: that is no failure, but the row
// tells which folder stayed. Any other refusal (no permission, an
// append-only parent) is one.
Failure RemoveEmptyChain(WalkContext& walk, const EntryPath& deepest, std::string& sDeleteFolda) {
    walk.attempt = Attempt::kRemove;
    for (EntryPath folder = deepest; !folder.IsRoot(); folder = folder.Parent()) {
        auto error = walk.fs.RemoveEmptyFolder(folder);
        // Some systems tell a folder that is not empty by "already exists".
        if (error == kFolderNotEmpty || error == kFileAlreadyExists) {
            walk.kept = folder.Below();
            return {};
        }
        if (error) {
            return error;
        }
        walk.recorder.Removed(folder);
    }
    sDeleteFolda.clear();
    return {};
}

WalkOutcome Failed(Failure failure) {
    return failure;
}

WalkOutcome Flattened(WalkContext& walk, const EntryPath& root) {
    walk.attempt = Attempt::kList;
    const auto empty = IsFolderEmpty(walk.fs, root);
    if (!empty.ok()) {
        return Failed(empty.error());
    }
    return Completed{empty.value() ? RowStatus::kDoneEmpty : RowStatus::kDone, {}};
}

std::vector<std::string> EntryNames(const FlattenPlan& plan) {
    std::vector<std::string> names;
    names.reserve(plan.entries.size());
    for (const auto& entry : plan.entries) {
        names.push_back(entry.name);
    }
    return names;
}

WalkOutcome MoveAndRemove(WalkContext& walk, const FlattenPlan& plan,
                          std::span<const std::string> names, std::string& sDeleteFolda) {
    const EntryPath deepest = plan.Deepest(sDeleteFolda);
    if (auto error = MoveUp(walk, deepest, plan.root, names)) {
        return Failed(std::move(error));
    }
    if (auto error = RemoveEmptyChain(walk, deepest, sDeleteFolda)) {
        return Failed(std::move(error));
    }
    return Flattened(walk, plan.root);
}

}  // namespace

WalkOutcome RunFlatten(WalkContext& walk, const FlattenPlan& plan, std::string& sDeleteFolda) {
    if (auto error = RenameToTempName(walk, plan, sDeleteFolda)) {
        return Failed(std::move(error));
    }
    walk.top.own_name = plan.chain.front().name;
    return MoveAndRemove(walk, plan, EntryNames(plan), sDeleteFolda);
}

WalkOutcome FinishFlatten(WalkContext& walk, const FlattenPlan& plan,
                          std::span<const std::string> still_deepest, std::size_t levels_left,
                          std::string& sDeleteFolda) {
    walk.top.own_name = plan.chain.front().name;
    if (levels_left == plan.chain.size()) {
        return MoveAndRemove(walk, plan, still_deepest, sDeleteFolda);
    }
    if (levels_left > 0) {
        EntryPath lowest = plan.root.Child(sDeleteFolda);
        for (std::size_t i = 1; i < levels_left; ++i) {
            lowest = lowest.Child(plan.chain[i].name);
        }
        if (auto error = RemoveEmptyChain(walk, lowest, sDeleteFolda)) {
            return Failed(std::move(error));
        }
    } else {
        sDeleteFolda.clear();
    }
    return Flattened(walk, plan.root);
}

void CloseRun(WalkContext& walk, const EntryPath& root) {
    if (walk.recorder.state() == RunState::kPlanned || walk.recorder.state() == RunState::kClosed) {
        return;
    }
    // Every rename of a run lands in the dropped folder or leaves a chain
    // folder under it; a file system that journals its metadata commits the
    // folders' entries together, so the dropped folder's sync holds them all.
    if (!walk.fs.SyncFolder(root)) {
        walk.recorder.Close();
    }
}

}  // namespace karuneo
