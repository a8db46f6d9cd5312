#include "engine/journal/recovery.h"

#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>

#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/file_system.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/journaled_walk.h"
#include "engine/journal/journaling_file_system.h"
#include "engine/journal/run_checks.h"
#include "engine/reason/row_reason.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"
#include "engine/unnest.h"

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

// The walk's rows, said to finish a run that was cut off.
ReasonRewritingSink FinishedRows(ResultSink& sink) {
    return ReasonRewritingSink(sink, [](RowStatus status, const RowReason& reason) {
        const bool failed = status == RowStatus::kError;
        return RowReason(
            Wrapping(failed ? JournalEvent::kNotFinished : JournalEvent::kFinished, reason));
    });
}

void CheckEntries(FileSystem& fs, const EntryPath& root, const JournalRun& run, TopPlace top,
                  Obstacles& obstacles) {
    const EntryPath deepest = DeepestNow(root, run, top);
    for (const auto& [name, entry] : EntriesByName(run)) {
        if (entry->kind == EntryKind::kOther) {
            continue;  // a mount point, which no move takes
        }
        const bool moved = IsEntry(fs, root.Child(name), entry->id, entry->kind);
        const bool stayed =
            top != TopPlace::kGone && IsEntry(fs, deepest.Child(name), entry->id, entry->kind);
        if (moved && stayed) {
            obstacles.Add(Obstacle::kEntryInBothPlaces, name);
        } else if (!moved && !stayed) {
            obstacles.Add(Obstacle::kEntryGone, name);
        }
    }
}

// The lowest chain folder still there, from the deepest up.
std::optional<EntryPath> LowestLevel(FileSystem& fs, const EntryPath& deepest) {
    for (EntryPath level = deepest; !level.IsRoot(); level = level.Parent()) {
        const auto identity = fs.Identify(level);
        if (identity.ok() && identity.value.kind == EntryKind::kFolder) {
            return level;
        }
    }
    return std::nullopt;
}

// The run had moved entries: the rest of it, journaled in the same journal.
void FinishMoves(Finishing& job, const JournalRun& run, TopPlace top, const std::string& name) {
    const EntryPath root(run.root);
    std::optional<JournalingFileSystem> resumed;
    if (!job.dry_run) {
        resumed.emplace(job.fs, std::move(job.file));
    }
    FileSystem& layer = resumed ? static_cast<FileSystem&>(*resumed) : job.fs;
    ReasonRewritingSink rows = FinishedRows(job.sink);
    const HeldRoot held(layer, root);
    WalkContext walk(layer, rows, job.control);
    walk.displayName = name;
    walk.top.own_name = run.top;
    std::string sDeleteFolda = TopName(run, top);
    if (top == TopPlace::kOwnName) {
        walk.top.settled = true;
        walk.top.place = ChainPlace::kOwnName;
    }
    const EntryPath deepest = DeepestNow(root, run, top);
    const auto lowest = top == TopPlace::kGone ? std::nullopt : LowestLevel(layer, deepest);
    const bool is_deepest = lowest && lowest->Names() == deepest.Names();
    FinishCutOffWalk(walk, lowest, is_deepest, root, sDeleteFolda);
}

// The run was cut off before it moved anything: the chain gets its own name
// back, the journal is closed, and the walk runs anew with a journal of its own.
void FinishAnew(Finishing& job, const JournalRun& run, TopPlace top, const std::string& name) {
    const EntryPath root(run.root);
    if (top == TopPlace::kTemporaryName) {
        const HeldRoot held(job.fs, root);
        if (auto error = job.fs.RenameFolder(root.Child(run.temp), run.top)) {
            ErrorReason reason = ReasonForFailure(Attempt::kRename, error);
            reason.chain = ChainPlace::kTemporaryName;
            reason.chain_name = run.temp;
            Report(job, name, Wrapping(JournalEvent::kNotFinished, reason));
            return;
        }
    }
    if (job.file) {
        (void)job.file->Append(kFinishedAnewLine);
        (void)job.file->Sync();
        job.file.reset();
    }
    ReasonRewritingSink rows = FinishedRows(job.sink);
    if (job.dry_run) {
        ProcessDroppedPath(run.root, job.fs, rows, job.control);
    } else {
        ProcessJournaled(run.root, job.fs, rows, job.control, job.journal_folder);
    }
}

void Finish(Finishing& job, const JournalRun& run) {
    const EntryPath root(run.root);
    const std::string name = FolderNameOf(run);
    Obstacles obstacles;
    TopPlace top = TopPlace::kGone;
    {
        const HeldRoot held(job.fs, root);
        const auto identity = job.fs.Identify(root);
        if (!identity.ok() || identity.value.device != run.root_identity.device ||
            identity.value.id != run.root_identity.id) {
            obstacles.Add(Obstacle::kFolderReplaced, {});
        } else {
            top = FindTop(job.fs, root, run);
            if (run.deepest.empty() && top == TopPlace::kGone) {
                obstacles.Add(Obstacle::kChainChanged, run.top);
            }
            if (!run.deepest.empty()) {
                CheckEntries(job.fs, root, run, top, obstacles);
            }
        }
    }
    if (obstacles.any()) {
        Report(job, name, obstacles.Reason(JournalEvent::kNotFinished));
    } else if (run.deepest.empty()) {
        FinishAnew(job, run, top, name);
    } else {
        FinishMoves(job, run, top, name);
    }
}

JournalReason Damaged(const Failure& parse_error) {
    Obstacles obstacles;
    obstacles.Add(Obstacle::kJournalDamaged, std::to_string(parse_error.system_code));
    return obstacles.Reason(JournalEvent::kNotFinished);
}

std::string FileName(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

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
        FinishCutOffRun(path, journal_folder, fs, sink, control, dry_run);
    }
}

void FinishCutOffRun(const std::string& journal_path, const std::string& journal_folder,
                     FileSystem& fs, ResultSink& sink, WalkControl& control, bool dry_run) {
    Finishing job{journal_path, journal_folder, fs, sink, control, dry_run, nullptr};
    if (!dry_run) {
        auto opened = JournalFile::OpenExisting(journal_path);
        if (!opened.ok()) {
            return;  // another process has it, or it is gone
        }
        job.file = std::move(opened.value);
    }
    const auto text = ReadJournal(journal_path);
    const auto run = ParseJournal(text.value);
    if (run.value.root.empty() || run.value.temp.empty()) {
        if (run.ok() && !dry_run) {
            // Killed while its header was written: the run changed nothing.
            job.file.reset();
            RemoveJournal(journal_path);
        } else if (!run.ok()) {
            Report(job, FileName(journal_path), Damaged(run.error));
        }
        return;
    }
    if (!run.ok()) {
        Report(job, FolderNameOf(run.value), Damaged(run.error));
        return;
    }
    Finish(job, run.value);
}

}  // namespace karuneo::journal
