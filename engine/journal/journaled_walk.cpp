#include "engine/journal/journaled_walk.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/file_system.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_recorder.h"
#include "engine/journal/undo.h"
#include "engine/reason/cause.h"
#include "engine/row_status.h"
#include "engine/run/flatten_plan.h"
#include "engine/run/run_recorder.h"
#include "engine/unnest.h"
#include "engine/walk_control.h"

namespace karuneo::journal {

JournalReason Wrapping(JournalEvent event, const RowReason& walk_reason) {
    JournalReason reason;
    reason.event = event;
    if (!std::holds_alternative<std::monostate>(walk_reason)) {
        reason.walk = std::make_shared<const RowReasonBox>(RowReasonBox{walk_reason});
    }
    return reason;
}

ReasonRewritingSink::Rewrite NoteWhenNotJournaled(const RunRecorder& journal) {
    return [&journal](RowStatus /*status*/, const RowReason& reason) -> RowReason {
        if (!journal.failure()) {
            return reason;
        }
        JournalReason noted = Wrapping(JournalEvent::kNotJournaled, reason);
        noted.failure = ReasonForFailure(Attempt::kOpen, journal.failure());
        return noted;
    };
}

namespace {

// The walk's control for the put-back after it stopped: the stop that was
// asked for is the one being answered, so only a second one counts.
class PutBackWalk final : public WalkControl {
  public:
    explicit PutBackWalk(WalkControl& walk) : walk_(walk) {}
    bool StopRequested() const override { return walk_.StopAgainRequested(); }
    void MoveProgress(long long moved, long long total) override {
        walk_.PutBackProgress(moved, total);
    }

  private:
    WalkControl& walk_;
};

struct Row {
    std::string name;
    RowStatus status;
    RowReason reason;
};

class KeepingSink final : public ResultSink {
  public:
    void AddResult(std::string_view name, RowStatus status) override {
        AddResultWithReason(name, status, RowReason{});
    }
    void AddResultWithReason(std::string_view name, RowStatus status,
                             const RowReason& reason) override {
        rows.push_back({std::string(name), status, reason});
    }
    std::vector<Row> rows;
};

// The stop's own reason, when the walk stopped after it had changed something.
ErrorReason* StoppedPartWay(Row& row) {
    auto* error = std::get_if<ErrorReason>(&row.reason);
    const bool stopped = row.status == RowStatus::kError && error != nullptr &&
                         error->cause == Cause::kStoppedByUser &&
                         error->chain != ChainPlace::kUntouched;
    return stopped ? error : nullptr;
}

// Stopped again, the put-back stops too: the end is near, and what is back
// stays back.
bool PutBack(const std::string& path, FileSystem& fs, const std::string& journal_folder,
             WalkControl& control) {
    KeepingSink undo;
    PutBackWalk put_back(control);
    UndoLastRun(path, fs, undo, put_back, journal_folder);
    return undo.rows.size() == 1 && undo.rows.front().status != RowStatus::kError;
}

}  // namespace

void ProcessJournaled(const std::string& path, FileSystem& fs, ResultSink& sink,
                      WalkControl& control, const std::string& journal_folder) {
    KeepingSink walk;
    {
        JournalRecorder journal(journal_folder);
        ReasonRewritingSink noted(walk, NoteWhenNotJournaled(journal));
        ProcessDroppedPath(path, fs, noted, control, journal);
    }
    for (Row& row : walk.rows) {
        ErrorReason* stopped = StoppedPartWay(row);
        if (stopped && control.UndoWhenStopped() && PutBack(path, fs, journal_folder, control)) {
            stopped->chain = ChainPlace::kPutBack;
            stopped->chain_name.clear();
        }
        sink.AddResultWithReason(row.name, row.status, row.reason);
    }
}

namespace {

// Enough runs that a batch's two syncs are a small part of what its runs
// cost; few enough that the handles each run holds open meanwhile (its root,
// each folder it claimed, its journal) stay far below a process's limit.
constexpr std::size_t kBatchRuns = 64;
// Runs of this many entries take long enough that a sync more is nothing,
// and every plan of a batch is kept until it has run.
constexpr std::size_t kBatchEntries = 200'000;

// One dropped folder of a batch, from its plan to its closing line.
struct BatchRun {
    BatchRun(const std::string& folder, FileSystem& fs, WalkControl& control,
             const std::string& journal_folder)
        : path(folder),
          root(folder),
          journal(std::make_unique<JournalRecorder>(journal_folder)),
          noted(rows, NoteWhenNotJournaled(*journal)),
          walk(fs, noted, control, *journal),
          held(fs, root) {}

    std::string path;
    EntryPath root;
    std::unique_ptr<JournalRecorder> journal;
    KeepingSink rows;
    ReasonRewritingSink noted;
    WalkContext walk;
    HeldRoot held;
    PlannedDrop planned;
    std::string sDeleteFolda;
};

// Whether one path lies inside the other (or they are one), by their names
// alone: a batch must not plan a folder before a run of the same batch
// changes it.
bool OneHoldsTheOther(const std::string& first, const std::string& second) {
    const auto a = std::filesystem::path(first).lexically_normal();
    const auto b = std::filesystem::path(second).lexically_normal();
    const auto [a_end, b_end] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    const auto ends = [](const std::filesystem::path::iterator at,
                         const std::filesystem::path& whole) {
        return at == whole.end() || (std::next(at) == whole.end() && at->empty());
    };
    return ends(a_end, a) || ends(b_end, b);
}

// The SQLite pager's way with its journal, for many runs: every plan of a
// batch is written, then made durable by one sync, before the first run
// changes anything; once the runs are done, the folders they changed are
// made durable together, and only then are their closing lines written,
// to be synced with the next batch's plans or at the end. A closing line
// lost in a crash costs nothing: finishing judges by the disk, and retires
// a run it finds done.
class Batches {
  public:
    Batches(FileSystem& fs, ResultSink& sink, WalkControl& control,
            const std::string& journal_folder, const std::function<bool()>& give_up)
        : fs_(fs),
          sink_(sink),
          control_(control),
          journal_folder_(journal_folder),
          give_up_(give_up) {}
    ~Batches() { SyncWaiting({}); }

    // How many of `paths` were started; the rest were not, asked to stop.
    std::size_t Run(std::span<const std::string> paths) {
        std::size_t next = 0;
        while (next < paths.size() && !GivenUp()) {
            std::vector<std::unique_ptr<BatchRun>> batch = Plan(paths.subspan(next));
            if (batch.empty()) {
                break;
            }
            SyncWaiting(batch);
            const std::size_t planned = batch.size();
            const std::size_t started = Execute(batch);
            next += started;
            if (started < planned) {
                break;
            }
        }
        return next;
    }

  private:
    bool GivenUp() const { return give_up_ && give_up_(); }
    // Asked once before each folder starts, as a run of one folder asks.
    bool Ending() const { return GivenUp() || control_.StopRequested(); }

    // The read-only pass over as many folders as a batch takes, each one's
    // plan written to its journal unsynced. A folder that a run of the batch
    // has claimed (dropped twice, or inside another) waits for the next
    // batch, where it is planned anew against what that run left.
    std::vector<std::unique_ptr<BatchRun>> Plan(std::span<const std::string> paths) {
        std::vector<std::unique_ptr<BatchRun>> batch;
        std::size_t entries = 0;
        std::uint64_t last_taken = 0;
        const std::size_t most = fs_.HoldsManyRoots() ? kBatchRuns : 1;
        for (const std::string& path : paths) {
            if (batch.size() >= most || entries >= kBatchEntries || GivenUp() ||
                HoldsRoot(batch, path)) {
                break;
            }
            auto run = std::make_unique<BatchRun>(path, fs_, control_, journal_folder_);
            run->planned = PlanDropped(run->walk, run->root);
            // What an earlier run of the batch will change must be planned
            // after it: a folder inside it, or one that is no folder yet and
            // may be one then.
            if (!batch.empty() && (run->planned.outcome.error() == kAnotherRun ||
                                   run->planned.ignored || InsideARunOf(batch, path))) {
                break;
            }
            if (run->planned.plan) {
                run->sDeleteFolda = GetBaseName(fs_.GetTempName());
                run->journal->Stage(*run->planned.plan, run->sDeleteFolda, last_taken);
                entries += run->planned.plan->entries.size();
            }
            batch.push_back(std::move(run));
        }
        return batch;
    }

    static bool InsideARunOf(const std::vector<std::unique_ptr<BatchRun>>& batch,
                             const std::string& path) {
        return std::any_of(batch.begin(), batch.end(),
                           [&path](const auto& run) { return OneHoldsTheOther(run->path, path); });
    }

    static bool HoldsRoot(const std::vector<std::unique_ptr<BatchRun>>& batch,
                          const std::string& path) {
        const EntryPath root(path);
        return std::any_of(batch.begin(), batch.end(),
                           [&root](const auto& run) { return run->root.Root() == root.Root(); });
    }

    // One sync for the closing lines of the last batch and the plans of
    // this one; the journal folder is pruned once for them all.
    void SyncWaiting(const std::vector<std::unique_ptr<BatchRun>>& batch) {
        std::vector<JournalRecorder*> journals;
        for (auto& closed : closing_) {
            journals.push_back(closed.get());
        }
        for (const auto& run : batch) {
            journals.push_back(run->journal.get());
        }
        std::vector<JournalFile*> files;
        for (JournalRecorder* journal : journals) {
            if (JournalFile* file = journal->Unsynced()) {
                files.push_back(file);
            }
        }
        const Failure synced = JournalFile::SyncTogether(files);
        for (JournalRecorder* journal : journals) {
            journal->Synced(synced);
        }
        closing_.clear();
        if (!files.empty() && !batch.empty()) {
            PruneJournals(journal_folder_);
        }
    }

    // Runs the batch in order, and stops starting runs once asked to stop;
    // those planned and not started changed nothing, and their journals go.
    std::size_t Execute(std::vector<std::unique_ptr<BatchRun>>& batch) {
        std::size_t started = 0;
        std::optional<std::size_t> stopped;
        for (auto& run : batch) {
            if (stopped || Ending()) {
                break;
            }
            if (!run->planned.ignored) {
                RunPlanned(run->walk, run->root, run->planned, run->sDeleteFolda);
            }
            if (std::any_of(run->rows.rows.begin(), run->rows.rows.end(),
                            [](Row& row) { return StoppedPartWay(row) != nullptr; })) {
                stopped = started;
            } else {
                GiveRows(run->rows.rows);
            }
            ++started;
        }
        // Not started, or stopped before its top was renamed.
        for (auto& run : batch) {
            run->journal->Retire();
        }
        if (!stopped) {
            Close(batch);
            return started;
        }
        const std::string path = batch[*stopped]->path;
        std::vector<Row> rows = std::move(batch[*stopped]->rows.rows);
        Close(batch);
        SyncWaiting({});  // the put-back opens the run's journal
        PutBackAndGiveRows(path, rows);
        return started;
    }

    // What the runs changed is on the disk before any closing line says so.
    void Close(std::vector<std::unique_ptr<BatchRun>>& batch) {
        std::vector<BatchRun*> begun;
        std::vector<EntryPath> roots;
        for (auto& run : batch) {
            const RunState state = run->journal->state();
            if (state != RunState::kPlanned && state != RunState::kClosed) {
                begun.push_back(run.get());
                roots.push_back(run->root);
            }
        }
        const bool all_synced = !fs_.SyncFolders(roots);
        for (BatchRun* run : begun) {
            if (all_synced || !fs_.SyncFolder(run->root)) {
                run->journal->Close();
            }
        }
        for (auto& run : batch) {
            closing_.push_back(std::move(run->journal));
        }
        batch.clear();
    }

    void GiveRows(const std::vector<Row>& rows) {
        for (const Row& row : rows) {
            sink_.AddResultWithReason(row.name, row.status, row.reason);
        }
    }

    void PutBackAndGiveRows(const std::string& path, std::vector<Row>& rows) {
        for (Row& row : rows) {
            ErrorReason* stopped = StoppedPartWay(row);
            if (stopped && control_.UndoWhenStopped() &&
                PutBack(path, fs_, journal_folder_, control_)) {
                stopped->chain = ChainPlace::kPutBack;
                stopped->chain_name.clear();
            }
        }
        GiveRows(rows);
    }

    FileSystem& fs_;
    ResultSink& sink_;
    WalkControl& control_;
    const std::string& journal_folder_;
    const std::function<bool()>& give_up_;
    // Journals whose closing lines wait for the next sync.
    std::vector<std::unique_ptr<JournalRecorder>> closing_;
};

}  // namespace

std::size_t ProcessJournaledFolders(std::span<const std::string> paths, FileSystem& fs,
                                    ResultSink& sink, WalkControl& control,
                                    const std::string& journal_folder,
                                    const std::function<bool()>& give_up) {
    Batches batches(fs, sink, control, journal_folder, give_up);
    return batches.Run(paths);
}

}  // namespace karuneo::journal
