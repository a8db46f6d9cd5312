#include "engine/journal/journaled_walk.h"

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/error_number.h"
#include "engine/journal/journal_recorder.h"
#include "engine/journal/undo.h"
#include "engine/reason/cause.h"
#include "engine/row_status.h"
#include "engine/run/run_recorder.h"
#include "engine/unnest.h"
#include "engine/walk_control.h"

namespace karuneo {
class FileSystem;
}  // namespace karuneo

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

}  // namespace karuneo::journal
