#include "engine/journal/journaled_walk.h"

#include <memory>

#include "engine/unnest.h"

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
    return [&journal](std::string_view /*status*/, const RowReason& reason) -> RowReason {
        if (!journal.failure()) {
            return reason;
        }
        JournalReason noted = Wrapping(JournalEvent::kNotJournaled, reason);
        noted.failure = ReasonForFailure(Attempt::kOpen, journal.failure());
        return noted;
    };
}

void ProcessJournaled(const std::string& path, FileSystem& fs, ResultSink& sink,
                      WalkControl& control, const std::string& journal_folder) {
    JournalingFileSystem journaled(fs, journal_folder);
    ReasonRewritingSink noted(sink, NoteWhenNotJournaled(journaled));
    ProcessDroppedPath(path, journaled, noted, control);
}

}  // namespace karuneo::journal
