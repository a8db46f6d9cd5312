#include "engine/unnest.h"

#include <new>
#include <optional>
#include <utility>
#include <variant>
// iwyu 8.18 takes std::move's result type for a use of <type_traits>.
// IWYU pragma: no_include <type_traits>

#include "engine/entry_path.h"
#include "engine/file_system.h"
#include "engine/run/flatten_plan.h"
#include "engine/run/flatten_run.h"
#include "engine/run/run_recorder.h"
#include "engine/walk_control.h"
#include "engine/walk_report.h"

namespace karuneo {
namespace {

class NoControl final : public WalkControl {
  public:
    bool StopRequested() const override { return false; }
    void MoveProgress(long long /*moved*/, long long /*total*/) override {}
};

// Out of memory, or anything else a walk did not expect, ends it with a
// row like any failure.
template <class Step>
Failure Caught(Step step) {
    try {
        step();
        return {};
    } catch (const std::bad_alloc&) {
        return Failure(kOutOfMemory);
    } catch (...) {
        return Failure(kUnexpected);
    }
}

}  // namespace

WalkControl& UninterruptedWalk() {
    static NoControl none;
    return none;
}

void ProcessDroppedPath(const std::string& path, FileSystem& fs, ResultSink& sink,
                        WalkControl& control) {
    NoRecorder none;
    ProcessDroppedPath(path, fs, sink, control, none);
}

void ProcessDroppedPath(const std::string& path, FileSystem& fs, ResultSink& sink,
                        WalkControl& control, RunRecorder& recorder) {
    try {
        const EntryPath root(path);
        const HeldRoot held(fs, root);
        WalkContext walk(fs, sink, control, recorder);
        const PlannedDrop planned = PlanDropped(walk, root);
        if (planned.ignored) {
            return;
        }
        std::string sDeleteFolda;
        RunPlanned(walk, root, planned, sDeleteFolda);
        CloseRun(walk, root);
    } catch (...) {
        // Only a sink that fails even to take the error row gets here; there
        // is nobody left to tell.
    }
}

PlannedDrop PlanDropped(WalkContext& walk, const EntryPath& root) {
    PlannedDrop planned;
    const auto folderName = GetFolderName(walk.fs, root);
    if (folderName.error() == kPathNotFound) {
        planned.ignored = true;  // a dropped plain file, or a folder that is gone
        return planned;
    }
    // A failed lookup has no stored name to show: the row then carries
    // the name the path ends in.
    walk.displayName = folderName.ok() ? folderName.value() : root.LastName();
    if (!folderName.ok()) {
        planned.outcome = folderName.error();
        return planned;
    }
    PlanOutcome made = Failure();
    if (auto error = Caught([&made, &walk, &root] { made = MakeFlattenPlan(walk, root); })) {
        made = std::move(error);
    }
    if (auto* failure = std::get_if<Failure>(&made)) {
        planned.outcome = std::move(*failure);
    } else if (auto* row = std::get_if<Completed>(&made)) {
        planned.outcome = *row;
    } else {
        planned.plan = std::move(std::get<FlattenPlan>(made));
    }
    return planned;
}

void RunPlanned(WalkContext& walk, const EntryPath& root, const PlannedDrop& planned,
                std::string& sDeleteFolda) {
    if (!planned.plan) {
        ReportOutcome(walk, planned.outcome, root, sDeleteFolda);
        return;
    }
    WalkOutcome outcome = Completed{};
    if (auto error = Caught([&] { outcome = RunFlatten(walk, *planned.plan, sDeleteFolda); })) {
        outcome = std::move(error);
    }
    ReportOutcome(walk, outcome, root, sDeleteFolda);
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
