#include "engine/journal/journaled_walk.h"

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/error_number.h"
#include "engine/journal/journaling_file_system.h"
#include "engine/journal/undo.h"
#include "engine/reason/cause.h"
#include "engine/row_status.h"
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

ReasonRewritingSink::Rewrite NoteWhenNotJournaled(const JournalingFileSystem& journal) {
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

bool PutBack(const std::string& path, FileSystem& fs, const std::string& journal_folder) {
    KeepingSink undo;
    UndoLastRun(path, fs, undo, UninterruptedWalk(), journal_folder);
    return undo.rows.size() == 1 && undo.rows.front().status == RowStatus::kDone;
}

}  // namespace

void ProcessJournaled(const std::string& path, FileSystem& fs, ResultSink& sink,
                      WalkControl& control, const std::string& journal_folder) {
    KeepingSink walk;
    {
        JournalingFileSystem journaled(fs, journal_folder);
        ReasonRewritingSink noted(walk, NoteWhenNotJournaled(journaled));
        ProcessDroppedPath(path, journaled, noted, control);
    }
    for (Row& row : walk.rows) {
        ErrorReason* stopped = StoppedPartWay(row);
        if (stopped && control.UndoWhenStopped() && PutBack(path, fs, journal_folder)) {
            stopped->chain = ChainPlace::kPutBack;
            stopped->chain_name.clear();
        }
        sink.AddResultWithReason(row.name, row.status, row.reason);
    }
}

}  // namespace karuneo::journal
