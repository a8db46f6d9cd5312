#include "engine/journal/recovery.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/file_system.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/journal_recorder.h"
#include "engine/journal/journal_runs.h"
#include "engine/journal/journaled_walk.h"
#include "engine/journal/run_checks.h"
#include "engine/journal/undo.h"
#include "engine/reason/row_reason.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"
#include "engine/run/flatten_plan.h"
#include "engine/run/flatten_run.h"
#include "engine/run/run_recorder.h"
#include "engine/unnest.h"
#include "engine/walk_report.h"

namespace karuneo::journal {
namespace {

// What one finishing needs besides the run.
struct Finishing {
    std::string journal_path;
    std::string journal_folder;
    FileSystem& fs;
    ResultSink& sink;
    WalkControl& control;
    bool dry_run;
    std::unique_ptr<JournalFile> file;  // locked for the whole finishing; none in a dry run
};

void Report(Finishing& job, const std::string& name, const JournalReason& reason) {
    job.sink.AddResultWithReason(name, RowStatus::kError, reason);
}

void Mark(Finishing& job, std::string_view line) {
    if (job.file) {
        (void)job.file->Append(line);
        (void)job.file->Sync();
    }
}

// The walk's rows, said to finish a run that was cut off.
ReasonRewritingSink FinishedRows(ResultSink& sink) {
    return ReasonRewritingSink(sink, [](RowStatus status, const RowReason& reason) {
        const bool failed = status == RowStatus::kError;
        return RowReason(
            Wrapping(failed ? JournalEvent::kNotFinished : JournalEvent::kFinished, reason));
    });
}

// The plan as the journal holds it, for the executor to carry on with.
FlattenPlan PlanOf(const JournalRun& run) {
    FlattenPlan plan;
    plan.root = EntryPath(run.root);
    plan.root_identity = run.root_identity;
    plan.root_hidden = run.hidden;
    plan.chain = run.chain;
    plan.entries = run.entries;
    return plan;
}

// Each planned entry is judged by where it is now, whatever the journal says
// of it: in the dropped folder it has moved, in the deepest folder it waits.
struct Progress {
    std::vector<std::string> still_deepest;
    std::vector<std::string> found_moved;  // moved, but not recorded as moved
    std::size_t levels_left = 0;
    TopFound top;
};

Progress JudgeByDisk(FileSystem& fs, const JournalRun& run, Obstacles& obstacles) {
    Progress progress;
    progress.top = FindTop(fs, run);
    progress.levels_left = LevelsThere(fs, run, progress.top.name);
    Whereabouts found = FindPlannedEntries(fs, run, progress.top, progress.levels_left, obstacles);
    progress.still_deepest = std::move(found.waiting);
    const std::unordered_set<std::string_view> recorded(run.moved.begin(), run.moved.end());
    for (auto& name : found.moved) {
        if (!recorded.contains(name)) {
            progress.found_moved.push_back(std::move(name));
        }
    }
    return progress;
}

// The run had begun: the rest of it, recorded in the same journal, and first
// what the disk shows it did that its journal did not say.
void FinishMoves(Finishing& job, const JournalRun& run, const Progress& progress,
                 const std::string& name) {
    const FlattenPlan plan = PlanOf(run);
    std::optional<JournalRecorder> resumed;
    NoRecorder none;
    if (!job.dry_run) {
        // Its plan is on the disk: the steps that follow take it on from there.
        resumed.emplace(std::move(job.file), RunState::kBegun);
        for (const auto& moved : progress.found_moved) {
            resumed->Moved(moved);
        }
    }
    RunRecorder& recorder = resumed ? static_cast<RunRecorder&>(*resumed) : none;
    ReasonRewritingSink rows = FinishedRows(job.sink);
    // A finishing its journal could not follow cannot be undone: the row says so.
    ReasonRewritingSink noted(rows, NoteWhenNotJournaled(recorder));
    const HeldRoot held(job.fs, plan.root);
    WalkContext walk(job.fs, noted, job.control, recorder);
    walk.displayName = name;
    std::string sDeleteFolda = progress.top.name;
    if (progress.top.place == TopPlace::kOwnName) {
        walk.top.settled = true;
        walk.top.place = ChainPlace::kOwnName;
    }
    const WalkOutcome outcome =
        FinishFlatten(walk, plan, progress.still_deepest, progress.levels_left, sDeleteFolda);
    ReportOutcome(walk, outcome, plan.root, sDeleteFolda);
    CloseRun(walk, plan.root);
}

// The run changed nothing that is still to be seen: its journal is closed as
// finished anew, and the walk runs again with a journal of its own.
void FinishAnew(Finishing& job, const JournalRun& run, const TopFound& top,
                const std::string& name) {
    const EntryPath root(run.root);
    if (top.place == TopPlace::kTemporaryName) {
        const HeldRoot held(job.fs, root);
        if (auto error = job.fs.RenameFolder(root.Child(top.name), run.top())) {
            ErrorReason reason = ReasonForFailure(Attempt::kRename, error);
            reason.chain = ChainPlace::kTemporaryName;
            reason.chain_name = top.name;
            Report(job, name, Wrapping(JournalEvent::kNotFinished, reason));
            return;
        }
    }
    Mark(job, kFinishedAnewLine);
    job.file.reset();
    ReasonRewritingSink rows = FinishedRows(job.sink);
    if (job.dry_run) {
        ProcessDroppedPath(run.root, job.fs, rows, job.control);
    } else {
        ProcessJournaled(run.root, job.fs, rows, job.control, job.journal_folder);
    }
}

// Under its own name with every entry still in the deepest folder, the
// chain shows nothing of the run.
bool ChangedNothing(const JournalRun& run, const Progress& progress) {
    std::unordered_set<std::string_view> movable;
    for (const auto& entry : run.entries) {
        if (entry.kind != EntryKind::kOther) {
            movable.insert(entry.name);
        }
    }
    return progress.top.place == TopPlace::kOwnName && progress.levels_left == run.chain.size() &&
           progress.still_deepest.size() == movable.size();
}

void Retire(Finishing& job) {
    if (!job.dry_run) {
        job.file.reset();
        (void)RemoveJournal(job.journal_path);
    }
}

// A folder that is gone is told of once, with what to do; one on a file
// system that is not there now (unmounted) waits without a word.
void FolderGone(Finishing& job, const JournalRun& run, const std::string& name) {
    Obstacles obstacles;
    obstacles.Add(Obstacle::kFolderGone, run.root);
    Report(job, name, obstacles.Reason(JournalEvent::kNotFinished));
    if (!job.dry_run) {
        Mark(job, kToldLine);
    }
}

void FinishFlattenRun(Finishing& job, const JournalRun& run) {
    const EntryPath root(run.root);
    const std::string name = FolderNameOf(run);
    Obstacles obstacles;
    Progress progress;
    {
        const HeldRoot held(job.fs, root);
        const auto identity = job.fs.Identify(root);
        if (identity.error() == kPathNotFound || identity.error() == kFileNotFound) {
            if (RootsFileSystemMounted(job.fs, run)) {
                FolderGone(job, run, name);
            }
            return;
        }
        if (!identity.ok() || identity.value().id != run.root_identity.id ||
            identity.value().device != run.root_identity.device) {
            obstacles.Add(Obstacle::kFolderReplaced, {});
        } else {
            progress = JudgeByDisk(job.fs, run, obstacles);
        }
    }
    if (obstacles.any()) {
        Report(job, name, obstacles.Reason(JournalEvent::kNotFinished));
    } else if (ChangedNothing(run, progress)) {
        // Cut off before its first change: nothing to finish, and the journal
        // goes once read whole.
        Retire(job);
    } else {
        FinishMoves(job, run, progress, name);
    }
}

JournalReason Damaged(const Failure& parse_error) {
    Obstacles obstacles;
    obstacles.Add(Obstacle::kJournalDamaged, std::to_string(parse_error.system_code));
    return obstacles.Reason(JournalEvent::kNotFinished);
}

JournalReason Unreadable(const Failure& read_error) {
    Obstacles obstacles;
    obstacles.Add(Obstacle::kJournalUnreadable, std::to_string(read_error.system_code));
    return obstacles.Reason(JournalEvent::kNotFinished);
}

class KeepingStatus final : public ResultSink {
  public:
    explicit KeepingStatus(ResultSink& inner) : inner_(inner) {}
    void AddResult(std::string_view name, RowStatus status) override {
        AddResultWithReason(name, status, RowReason{});
    }
    void AddResultWithReason(std::string_view name, RowStatus status,
                             const RowReason& reason) override {
        done = status != RowStatus::kError;
        inner_.AddResultWithReason(name, status, reason);
    }
    bool done = false;

  private:
    ResultSink& inner_;
};

void FinishUndo(Finishing& job, const JournalRun& undo) {
    KeepingStatus rows(job.sink);
    FinishCutOffUndo(job.journal_path, undo.root, job.fs, rows, job.control, job.journal_folder,
                     job.dry_run);
    if (rows.done && !job.dry_run) {
        Mark(job, kFinishedAnewLine);
    }
}

}  // namespace

bool RootsFileSystemMounted(FileSystem& fs, const JournalRun& run) {
    EntryPath parent(run.root);
    for (std::string path = run.root;;) {
        const auto cut = path.find_last_of("/\\");
        if (cut == std::string::npos || cut == 0) {
            return true;
        }
        path.resize(cut);
        const EntryPath above(path);
        const HeldRoot held(fs, above);
        const auto identity = fs.Identify(above);
        if (identity.ok()) {
            return identity.value().device == run.root_identity.device;
        }
    }
}

bool FolderOfRunExists(FileSystem& fs, const JournalRun& run) {
    const EntryPath root(run.root);
    const HeldRoot held(fs, root);
    return fs.FolderName(root).error() != kPathNotFound;
}

bool TellGoneOnce(FileSystem& fs, const std::string& journal_path, const JournalRun& run) {
    if (!RootsFileSystemMounted(fs, run)) {
        return false;
    }
    auto file = JournalFile::OpenExisting(journal_path);
    if (!file.ok()) {
        return false;  // another process has it
    }
    return !file.value()->Append(kToldLine) && !file.value()->Sync();
}

std::vector<std::string> CutOffJournals(const std::string& journal_folder) {
    std::vector<std::string> cut_off;
    for (const auto& path : ListJournals(journal_folder)) {
        if (!JournalClosed(path) && !JournalInUse(path)) {
            cut_off.push_back(path);
        }
    }
    return cut_off;
}

void FinishCutOffRuns(const std::string& journal_folder, FileSystem& fs, ResultSink& sink,
                      WalkControl& control, bool dry_run) {
    for (const auto& path : CutOffJournals(journal_folder)) {
        if (control.StopRequested()) {
            return;
        }
        FinishCutOffRun(path, journal_folder, fs, sink, control, dry_run);
    }
}

void FinishCutOffRun(const std::string& journal_path, const std::string& journal_folder,
                     FileSystem& fs, ResultSink& sink, WalkControl& control, bool dry_run) {
    Finishing job{journal_path, journal_folder, fs, sink, control, dry_run, nullptr};
    if (!dry_run) {
        auto opened = JournalFile::OpenExisting(journal_path);
        const Failure& error = opened.error();
        if (error == kFileAlreadyExists || error == kFileNotFound || error == kPathNotFound) {
            return;  // another process has it, or it is gone
        }
        if (error) {
            Report(job, FileName(journal_path), Unreadable(error));
            return;
        }
        job.file = std::move(opened.value());
    }
    // Read whole before anything is decided: a journal that cannot be read
    // stays, and the row says why.
    const auto text = ReadJournal(journal_path);
    if (!text.ok()) {
        Report(job, FileName(journal_path), Unreadable(text.error()));
        return;
    }
    const auto run = ParseJournal(text.value());
    // The lines this finishing adds must start on a line of their own.
    const auto last_newline = text.value().rfind('\n');
    if (job.file && last_newline != std::string::npos && last_newline + 1 < text.value().size()) {
        (void)job.file->CutTo(last_newline + 1);
    }
    if (!run.ok()) {
        const std::string name =
            run.value().root.empty() ? FileName(journal_path) : FolderNameOf(run.value());
        Report(job, name, Damaged(run.error()));
        return;
    }
    if (!run.value().planned && run.value().version == 1 && !run.value().chain.empty()) {
        // The first version named the entries only once they were about to
        // move: its top may stand under the temporary name.
        const HeldRoot held(fs, EntryPath(run.value().root));
        FinishAnew(job, run.value(), FindTop(fs, run.value()), FolderNameOf(run.value()));
        return;
    }
    if (!run.value().planned || run.value().root.empty()) {
        // Killed while its plan was written, which comes before any change:
        // the run changed nothing, and its journal goes.
        Retire(job);
        return;
    }
    if (run.value().kind == JournalKind::kUndo) {
        FinishUndo(job, run.value());
    } else {
        FinishFlattenRun(job, run.value());
    }
}

}  // namespace karuneo::journal
