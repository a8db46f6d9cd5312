#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "engine/error_number.h"
#include "engine/journal/journal_file.h"
#include "engine/reason/row_reason.h"
#include "engine/run/run_recorder.h"

namespace karuneo {
class EntryPath;
struct FlattenPlan;
}  // namespace karuneo

namespace karuneo::journal {

// Keeps a run's journal: the plan, written and synced before the first
// change, then each step as the executor takes it (written, not synced:
// whoever reads the journal later judges each entry by what is on the disk),
// and the closing line once the changes are on the disk.
//
// A journal that cannot be written does not stop the run: failure() says
// why, and the row says that the run cannot be undone or finished.
class JournalRecorder final : public RunRecorder {
  public:
    // A new journal in `folder` once the run begins to change something.
    explicit JournalRecorder(std::string folder) : folder_(std::move(folder)) {}
    // Goes on with the journal of a run that was cut off in `state`. Its
    // plan was read from the disk: whatever fails now, the journal stays.
    JournalRecorder(std::unique_ptr<JournalFile> resumed, RunState state)
        : RunRecorder(state), file_(std::move(resumed)), plan_durable_(true) {}
    ~JournalRecorder() override;

    Failure failure() const override { return failure_; }
    // The journal of the run, empty when it changed nothing.
    std::string journal_path() const { return file_ ? file_->path() : kept_path_; }

    // For a run of a batch, whose syncs are shared. Stage writes the plan
    // and the temporary name tried first, unsynced, in a journal named
    // after `last_taken` (JournalFile::CreateNext); the closing line too is
    // left unsynced. Until told Synced, the journal waiting for a sync is
    // Unsynced(); a failed sync fails the journal as its own would.
    void Stage(const FlattenPlan& plan, const std::string& temp, std::uint64_t& last_taken);
    JournalFile* Unsynced() const { return Writing() && waiting_ ? file_.get() : nullptr; }
    void Synced(Failure failure);
    // A staged run that was never begun changed nothing: its journal goes.
    // Once begun, the journal stays.
    void Retire();

  protected:
    void OnBegin(const FlattenPlan& plan, const std::string& temp) override;
    void OnMoved(const std::string& name) override;
    void OnRemoved(const EntryPath& folder) override;
    void OnSettled(ChainPlace place) override;
    void OnClose() override;

  private:
    bool Writing() const { return file_ != nullptr && !failure_; }
    void Start(const FlattenPlan& plan, const std::string& temp);
    // In a new journal, unsynced; false when it cannot be.
    bool WritePlan(const FlattenPlan& plan, const std::string& temp, std::uint64_t& last_taken);
    // Buffered: written out when large, and before every sync.
    void Write(std::string_view text);
    void Flush();
    void SyncNow();
    void Fail(Failure failure);

    std::string folder_;
    std::unique_ptr<JournalFile> file_;
    std::string kept_path_;
    bool plan_durable_ = false;
    bool batched_ = false;  // its syncs are the batch's
    bool waiting_ = false;  // for the batch's next sync
    std::string staged_temp_;
    Failure failure_;
    std::string buffer_;
};

}  // namespace karuneo::journal
