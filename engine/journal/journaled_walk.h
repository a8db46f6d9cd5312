#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "engine/reason/row_reason.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"

namespace karuneo {
class FileSystem;
class RunRecorder;
class WalkControl;
}  // namespace karuneo

namespace karuneo::journal {

// Hands each row on with its reason rewritten, for the rows of journal work.
class ReasonRewritingSink final : public ResultSink {
  public:
    using Rewrite = std::function<RowReason(RowStatus status, const RowReason& reason)>;

    ReasonRewritingSink(ResultSink& inner, Rewrite rewrite)
        : inner_(inner), rewrite_(std::move(rewrite)) {}

    void AddResult(std::string_view name, RowStatus status) override {
        AddResultWithReason(name, status, RowReason{});
    }
    void AddResultWithReason(std::string_view name, RowStatus status,
                             const RowReason& reason) override {
        inner_.AddResultWithReason(name, status, rewrite_(status, reason));
    }

  private:
    ResultSink& inner_;
    Rewrite rewrite_;
};

// The row's own reason kept inside a journal's one.
JournalReason Wrapping(JournalEvent event, const RowReason& walk_reason);

// Adds to a row, when the journal of its walk could not be written, that the
// run cannot be undone or finished; passes the row on as it is otherwise.
ReasonRewritingSink::Rewrite NoteWhenNotJournaled(const RunRecorder& journal);

// ProcessDroppedPath with a journal of the run in `journal_folder`: the
// same rows, but for that note. A run stopped part-way whose `control` asks
// for it is put back at once by an undo of its journal, itself a run with a
// journal of its own, so that the folder is exactly as it was before, and its
// "エラー" row says so; when the undo is refused, fails or is stopped in its
// turn, the row is the stopped walk's own: what moved stays moved, which
// loses nothing either, and --undo finishes the put-back later.
void ProcessJournaled(const std::string& path, FileSystem& fs, ResultSink& sink,
                      WalkControl& control, const std::string& journal_folder);

// ProcessJournaled over many folders, in order, their syncs shared: the
// plans of a batch of folders are made durable by one sync before the first
// of them changes anything, and what the batch changed by one more before
// their closing lines are written. Asked to stop, or once `give_up` says so,
// it starts no further folder; a folder planned and not started changed
// nothing, and keeps no journal. How many of `paths` were started.
std::size_t ProcessJournaledFolders(std::span<const std::string> paths, FileSystem& fs,
                                    ResultSink& sink, WalkControl& control,
                                    const std::string& journal_folder,
                                    const std::function<bool()>& give_up = {});

}  // namespace karuneo::journal
