#include "engine/unnest.h"

#include <new>
#include <utility>
#include <variant>

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

WalkOutcome PlanAndRun(WalkContext& walk, const EntryPath& root, std::string& sDeleteFolda) {
    try {
        PlanOutcome planned = MakeFlattenPlan(walk, root);
        if (auto* failure = std::get_if<Failure>(&planned)) {
            return {Completed{}, std::move(*failure)};
        }
        if (auto* row = std::get_if<Completed>(&planned)) {
            return *row;
        }
        return RunFlatten(walk, std::get<FlattenPlan>(planned), sDeleteFolda);
    } catch (const std::bad_alloc&) {
        return {Completed{}, Failure(kOutOfMemory)};
    } catch (...) {
        return {Completed{}, Failure(kUnexpected)};
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
        const auto folderName = GetFolderName(fs, root);
        if (folderName.error == kPathNotFound) {
            return;  // a dropped plain file, or a folder that is gone: ignored
        }
        // A failed lookup has no stored name to show: the row then carries
        // the name the path ends in.
        walk.displayName = folderName.ok() ? folderName.value : root.LastName();
        std::string sDeleteFolda;
        const WalkOutcome outcome = folderName.ok() ? PlanAndRun(walk, root, sDeleteFolda)
                                                    : WalkOutcome{Completed{}, folderName.error};
        ReportOutcome(walk, outcome, root, sDeleteFolda);
        CloseRun(walk, root);
    } catch (...) {
        // Only a sink that fails even to take the error row gets here; there
        // is nobody left to tell.
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
