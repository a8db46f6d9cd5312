#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "engine/error_number.h"
#include "engine/reason/row_reason.h"
#include "engine/row_status.h"
#include "engine/run/flatten_plan.h"
// The default arguments below call UninterruptedWalk().
#include "engine/walk_control.h"  // IWYU pragma: keep

namespace karuneo {
class EntryPath;
class FileSystem;
class ResultSink;
class RunRecorder;

// The top of the chain, once the walk has given it a temporary name: a row
// must say where the chain stands, so its own name is given back (or tried)
// before the row is given, once per walk.
struct ChainTop {
    std::string own_name;  // empty until the walk renames the top
    bool settled = false;
    ChainPlace place = ChainPlace::kUntouched;
};

// The file system and the sink that one walk works with, and what its rows
// need to tell why they read as they do.
struct WalkContext {
    WalkContext(FileSystem& file_system, ResultSink& result_sink, WalkControl& walk_control,
                RunRecorder& run_recorder)
        : fs(file_system), sink(result_sink), control(walk_control), recorder(run_recorder) {}

    FileSystem& fs;
    ResultSink& sink;
    WalkControl& control;
    RunRecorder& recorder;
    // The dropped folder's name as its rows show it, asked once per walk.
    std::string displayName;
    Attempt attempt = Attempt::kOpen;  // what the walk last asked of `fs`
    ChainTop top;
    // The chain folder that stayed because it still holds entries (those
    // above it stay too), below the dropped folder; empty when none did.
    std::string kept;
};

// Un-nests one dropped folder and reports its outcome to `sink`: nothing for
// a path that is not an existing folder, otherwise one row. Never throws.
// First a pass that changes nothing makes the run's plan; then the plan is
// carried out step by step, each step told to `recorder`. Asked to stop, it
// stops between two entries and the row reads "エラー", the chain given its
// own name back as after any failed move.
void ProcessDroppedPath(const std::string& path, FileSystem& fs, ResultSink& sink,
                        WalkControl& control = UninterruptedWalk());
void ProcessDroppedPath(const std::string& path, FileSystem& fs, ResultSink& sink,
                        WalkControl& control, RunRecorder& recorder);

// How a walk ends when nothing failed: the row's status, and for "未処理"
// why. A "完了" learns whether a chain folder stayed once the chain's name
// is settled, as the row is given.
struct Completed {
    RowStatus status;
    RowReason reason;
};

// What a walk, or one level of it, ends with: the row it completed, or the
// failure its row must tell. The walk gives no row of its own; its caller
// gives the one row (walk_report.h).
using WalkOutcome = Result<Completed>;

// The two halves of ProcessDroppedPath, for a caller that makes the plans of
// many folders durable together before any of them changes (a batch of
// runs), each under its root held.
struct PlannedDrop {
    bool ignored = false;               // not an existing folder: no row at all
    std::optional<FlattenPlan> plan;    // what the run will change
    WalkOutcome outcome = Completed{};  // the row, when there is nothing to change
};
// The read-only pass; asks for the folder's name to show.
PlannedDrop PlanDropped(WalkContext& walk, const EntryPath& root);
// Carries out the plan and gives the one row; the run is still to be closed
// (CloseRun). A `sDeleteFolda` given is the temporary name tried first.
void RunPlanned(WalkContext& walk, const EntryPath& root, const PlannedDrop& planned,
                std::string& sDeleteFolda);

// The folder's own name; kPathNotFound when it is not an existing folder.
Result<std::string> GetFolderName(FileSystem& fs, const EntryPath& path);

// The name without its last extension: "a.b.tmp" gives "a.b".
std::string GetBaseName(std::string_view file_name);

}  // namespace karuneo
