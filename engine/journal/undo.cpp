#include "engine/journal/undo.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/file_system.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/journal_runs.h"
#include "engine/journal/run_checks.h"
#include "engine/reason/row_reason.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"
#include "engine/run/flatten_plan.h"
#include "engine/unnest.h"
#include "engine/walk_control.h"

namespace karuneo::journal {
namespace {

// A reason names a few of the entries that stayed and counts the rest.
constexpr std::size_t kStayedNamed = 3;

// What the disk says is left to undo.
struct UndoPlan {
    TopFound top;
    std::size_t levels_there = 0;
    std::vector<std::string> to_move;         // in the dropped folder, in the order the run planned
    bool top_made = false;                    // the top standing is one an undo made
    std::vector<std::string> others_in_root;  // what the dropped folder holds besides
};

bool WasMade(FileSystem& fs, const EntryPath& top, const MadeTops& made) {
    const auto identity = fs.Identify(top);
    return identity.ok() &&
           std::find(made.ids.begin(), made.ids.end(), identity.value().id) != made.ids.end();
}

void CheckEntries(FileSystem& fs, const JournalRun& run, UndoPlan& plan, Obstacles& obstacles) {
    Whereabouts found = FindPlannedEntries(fs, run, plan.top, plan.levels_there, obstacles);
    for (const auto& name : found.name_taken_below) {
        obstacles.Add(Obstacle::kNameTaken, DeepestUnder(run, plan.top.name).Child(name).Below());
    }
    plan.to_move = std::move(found.moved);
    plan.others_in_root = std::move(found.unplanned_in_root);
}

void CheckChain(FileSystem& fs, const JournalRun& run, UndoPlan& plan, Obstacles& obstacles) {
    const EntryPath root(run.root);
    if (plan.top.place != TopPlace::kOwnName) {
        const bool leaving =
            std::find(plan.to_move.begin(), plan.to_move.end(), run.top()) != plan.to_move.end();
        if (!leaving && !IsFree(fs, root.Child(run.top()))) {
            obstacles.Add(Obstacle::kNameTaken, run.top());
        }
    }
    if (plan.top.place != TopPlace::kGone && plan.levels_there < run.chain.size() &&
        !IsFree(fs, LevelUnder(run, plan.top.name, plan.levels_there))) {
        obstacles.Add(Obstacle::kChainChanged,
                      LevelUnder(run, plan.top.name, plan.levels_there).Below());
    }
}

// `finishing` an undo that was cut off: one that has put every entry back
// may still owe the chain folders their looks, so nothing being left to move
// is no reason to refuse it.
UndoPlan JudgeByDisk(FileSystem& fs, const RunFound& found, bool finishing, Obstacles& obstacles) {
    const JournalRun& run = found.run;
    UndoPlan plan;
    plan.top = FindTop(fs, run, found.made);
    plan.levels_there = LevelsThere(fs, run, plan.top.name);
    plan.top_made = plan.top.place != TopPlace::kGone &&
                    WasMade(fs, EntryPath(run.root).Child(plan.top.name), found.made);
    CheckEntries(fs, run, plan, obstacles);
    CheckChain(fs, run, plan, obstacles);
    const bool as_before = plan.to_move.empty() && plan.top.place == TopPlace::kOwnName &&
                           plan.levels_there == run.chain.size() && !plan.top_made;
    if (!obstacles.any() && as_before && !finishing) {
        obstacles.Add(Obstacle::kNothingChanged, {});
    }
    return plan;
}

// Entries of the dropped folder that were not there before the run: they
// stay, and the row names the first few. The listing the undo was judged by
// tells them, so that a folder of many entries is listed once: what the undo
// moves is the run's own, and the top stood under the name it was found by.
void Newcomers(const JournalRun& run, const UndoPlan& plan, JournalReason& reason) {
    std::set<std::string> known(run.hidden.begin(), run.hidden.end());
    known.insert(run.top());
    known.insert(plan.top.name);
    std::vector<std::string> stayed;
    for (const auto& name : plan.others_in_root) {
        if (known.count(name) == 0) {
            stayed.push_back(name);
        }
    }
    std::sort(stayed.begin(), stayed.end());
    reason.stayed_count = static_cast<long long>(stayed.size());
    stayed.resize(std::min(stayed.size(), kStayedNamed));
    reason.stayed = std::move(stayed);
}

// The undo's own journal: what it made and moved, so that one cut off can be
// told apart from the user's folders and finished.
class UndoJournal {
  public:
    UndoJournal(bool record, std::string folder) : record_(record), folder_(std::move(folder)) {}

    Failure Begin(const RunFound& found, const Identity& root_identity) {
        if (!record_) {
            return {};
        }
        auto created = JournalFile::CreateNew(folder_);
        if (!created.ok()) {
            return created.error();
        }
        file_ = std::move(created.value());
        return Sync(UndoLines(FileName(found.journal), found.run.root, root_identity));
    }
    Failure Sync(std::string_view lines) {
        if (!file_) {
            return {};
        }
        pending_ += lines;
        Failure error = file_->Append(pending_);
        pending_.clear();
        return error ? error : file_->Sync();
    }
    void Add(std::string_view line) {
        if (file_) {
            pending_ += line;
        }
    }
    void Close() {
        if (file_) {
            (void)Sync(kCloseLine);
            file_.reset();
        }
    }

  private:
    bool record_;
    std::string folder_;
    std::unique_ptr<JournalFile> file_;
    std::string pending_;
};

struct Undoing {
    FileSystem& fs;
    WalkControl& control;
    const RunFound& found;
    UndoPlan& plan;
    UndoJournal& journal;
    Attempt attempt = Attempt::kOpen;
    std::string top_now;
    LookNotRestored not_restored;
};

Failure MakeTop(Undoing& undo, const EntryPath& root) {
    undo.top_now = GetBaseName(undo.fs.GetTempName());
    if (auto error = undo.journal.Sync(TempLine(undo.top_now))) {
        return error;
    }
    if (auto error = undo.fs.CreateFolder(root.Child(undo.top_now))) {
        return error;
    }
    const auto identity = undo.fs.Identify(root.Child(undo.top_now));
    if (!identity.ok()) {
        return identity.error();
    }
    return undo.journal.Sync(MadeLine({0, identity.value()}));
}

Failure BringChainBack(Undoing& undo) {
    const JournalRun& run = undo.found.run;
    const EntryPath root(run.root);
    undo.attempt = Attempt::kOpen;
    undo.top_now = undo.plan.top.name;
    if (undo.plan.top.place == TopPlace::kGone) {
        if (auto error = MakeTop(undo, root)) {
            return error;
        }
    }
    for (std::size_t depth = std::max<std::size_t>(undo.plan.levels_there, 1);
         depth < run.chain.size(); ++depth) {
        if (auto error = undo.fs.CreateFolder(LevelUnder(run, undo.top_now, depth))) {
            return error;
        }
    }
    return {};
}

Failure MoveBack(Undoing& undo) {
    const JournalRun& run = undo.found.run;
    undo.attempt = Attempt::kMove;
    const auto& names = undo.plan.to_move;
    const auto total = static_cast<long long>(names.size());
    const BeforeEachEntry before_each = [&undo, &names, total](std::size_t moved) -> Failure {
        if (moved > 0) {
            undo.journal.Add(MovedLine(names[moved - 1]));
        }
        if (undo.control.StopRequested()) {
            return Failure(kStopped);
        }
        undo.control.MoveProgress(static_cast<long long>(moved), total);
        return {};
    };
    Failure error = undo.fs.MoveEntries(EntryPath(run.root), names, DeepestUnder(run, undo.top_now),
                                        before_each);
    if (!error) {
        undo.control.MoveProgress(total, total);
    }
    return error;
}

Failure GiveLooksBack(Undoing& undo) {
    const JournalRun& run = undo.found.run;
    undo.attempt = Attempt::kOpen;
    for (std::size_t depth = run.chain.size(); depth > 0; --depth) {
        const PlannedLevel& level = run.chain[depth - 1];
        if (auto error = undo.fs.SetFolderLook(LevelUnder(run, run.top(), depth - 1), level.look,
                                               &undo.not_restored)) {
            return error;
        }
    }
    return {};
}

// Stopped or failed part-way: the chain gets its own name back where it is
// free, so that the folder reads as the user knows it; --undo goes on later.
void SettleStopped(Undoing& undo) {
    const EntryPath root(undo.found.run.root);
    if (undo.top_now.empty() || undo.top_now == undo.found.run.top()) {
        return;
    }
    if (IsFree(undo.fs, root.Child(undo.found.run.top())) &&
        !undo.fs.RenameFolder(root.Child(undo.top_now), undo.found.run.top())) {
        undo.journal.Add(SettledLine(ChainPlace::kOwnName));
    }
}

Failure Execute(Undoing& undo) {
    if (undo.control.StopRequested()) {
        return Failure(kStopped);
    }
    if (auto error = BringChainBack(undo)) {
        return error;
    }
    if (auto error = MoveBack(undo)) {
        return error;
    }
    const JournalRun& run = undo.found.run;
    if (undo.top_now != run.top()) {
        undo.attempt = Attempt::kRename;
        const EntryPath root(run.root);
        if (auto error = undo.fs.RenameFolder(root.Child(undo.top_now), run.top())) {
            return error;
        }
        undo.top_now = run.top();
        undo.journal.Add(SettledLine(ChainPlace::kOwnName));
    }
    return GiveLooksBack(undo);
}

void Refuse(ResultSink& sink, const std::string& name, Obstacle obstacle, std::string about) {
    Obstacles obstacles;
    obstacles.Add(obstacle, std::move(about));
    sink.AddResultWithReason(name, RowStatus::kError, obstacles.Reason(JournalEvent::kNotUndone));
}

struct UndoRequest {
    const std::string& name;
    FileSystem& fs;
    ResultSink& sink;
    WalkControl& control;
    const std::string& journal_folder;
    bool record;
    JournalEvent done_event = JournalEvent::kUndone;
};

void UndoFound(UndoRequest& request, const RunFound& found, const Identity& root_identity) {
    Obstacles obstacles;
    const bool finishing = request.done_event == JournalEvent::kUndoFinished;
    UndoPlan plan = JudgeByDisk(request.fs, found, finishing, obstacles);
    if (obstacles.any()) {
        request.sink.AddResultWithReason(request.name, RowStatus::kError,
                                         obstacles.Reason(JournalEvent::kNotUndone));
        return;
    }
    // Held while the undo works, so that no other process takes the run.
    auto run_journal = request.record ? JournalFile::OpenExisting(found.journal)
                                      : Result<std::unique_ptr<JournalFile>>(nullptr);
    if (request.record && !run_journal.ok()) {
        Refuse(request.sink, request.name, Obstacle::kJournalInUse, {});
        return;
    }
    UndoJournal journal(request.record, request.journal_folder);
    Undoing undo{request.fs, request.control, found, plan, journal, Attempt::kOpen, {}, {}};
    Failure error = journal.Begin(found, root_identity);
    if (error) {
        Refuse(request.sink, request.name, Obstacle::kJournalUnwritable, {});
        return;
    }
    error = Execute(undo);
    if (error) {
        SettleStopped(undo);
    }
    const EntryPath root(found.run.root);
    const bool synced = !request.fs.SyncFolder(root);
    if (!synced) {
        error = error ? error : Failure(kDeviceIoError);
    }
    if (!error && run_journal.value()) {
        (void)run_journal.value()->Append(kUndoneLine);
        (void)run_journal.value()->Sync();
    }
    // As a run's: closed only once its moves are on the disk; left open,
    // it is finished by the next recovery, judged by the disk.
    if (synced) {
        journal.Close();
    }
    JournalReason reason;
    if (error) {
        reason.event = JournalEvent::kUndoStopped;
        reason.failure = ReasonForFailure(undo.attempt, error);
        request.sink.AddResultWithReason(request.name, RowStatus::kError, reason);
        return;
    }
    reason.event = request.done_event;
    reason.not_restored = undo.not_restored.parts;
    Newcomers(found.run, plan, reason);
    request.sink.AddResultWithReason(request.name, RowStatus::kDone, reason);
}

void UndoAt(UndoRequest& request, const EntryPath& root,
            const std::function<RunFound(const Identity&)>& find) {
    const auto identity = request.fs.Identify(root);
    if (!identity.ok()) {
        Refuse(request.sink, request.name, Obstacle::kFolderReplaced, {});
        return;
    }
    // An undo claims its folder as a run does: two at once would each take
    // the other's moves for the user's.
    if (auto error = request.fs.ClaimFolder(root)) {
        Refuse(request.sink, request.name, Obstacle::kJournalInUse, {});
        return;
    }
    const RunFound found = find(identity.value());
    // Cut off after it marked the run undone: nothing was left but its close.
    if (found.refused == Obstacle::kAlreadyUndone &&
        request.done_event == JournalEvent::kUndoFinished) {
        JournalReason reason;
        reason.event = request.done_event;
        request.sink.AddResultWithReason(request.name, RowStatus::kDone, reason);
        return;
    }
    if (found.refused) {
        Refuse(request.sink, request.name, *found.refused, found.about);
        return;
    }
    UndoFound(request, found, identity.value());
}

}  // namespace

void UndoLastRun(const std::string& path, FileSystem& fs, ResultSink& sink, WalkControl& control,
                 const std::string& journal_folder, bool record) {
    const EntryPath root(path);
    const HeldRoot held(fs, root);
    const auto name = fs.FolderName(root);
    if (name.error() == kPathNotFound) {
        return;
    }
    if (!name.ok()) {
        Refuse(sink, root.LastName(), Obstacle::kFolderReplaced, {});
        return;
    }
    UndoRequest request{name.value(), fs, sink, control, journal_folder, record};
    const std::string absolute = AbsolutePath(path);
    UndoAt(request, root, [&](const Identity& identity) {
        return FindLastRun(journal_folder, absolute, identity);
    });
}

void FinishCutOffUndo(const std::string& undo_journal, const std::string& root_path, FileSystem& fs,
                      ResultSink& sink, WalkControl& control, const std::string& journal_folder,
                      bool dry_run) {
    const EntryPath root(root_path);
    const HeldRoot held(fs, root);
    const auto name = fs.FolderName(root);
    const std::string shown = name.ok() ? name.value() : root.LastName();
    if (!name.ok()) {
        Refuse(sink, shown, Obstacle::kFolderGone, root_path);
        return;
    }
    UndoRequest request{
        shown, fs, sink, control, journal_folder, !dry_run, JournalEvent::kUndoFinished};
    UndoAt(request, root, [&](const Identity& identity) {
        return FindRunOfUndo(journal_folder, undo_journal, identity);
    });
}

}  // namespace karuneo::journal
