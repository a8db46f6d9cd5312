#include "engine/journal/journal_recorder.h"

#include <cstddef>
#include <utility>

#include "engine/entry_path.h"
#include "engine/journal/journal_record.h"
#include "engine/run/flatten_plan.h"

namespace karuneo::journal {
namespace {

// Large enough that writing steps costs a few system calls per thousand
// entries, small enough to be nothing beside the names the run holds.
constexpr std::size_t kBufferLimit = 1 << 16;

}  // namespace

// A run that ends without closing (a kill, a folder that could not be
// synced) leaves what it wrote: its steps are hints, the disk decides.
JournalRecorder::~JournalRecorder() {
    if (Writing()) {
        Flush();
    }
}

void JournalRecorder::OnBegin(const FlattenPlan& plan, const std::string& temp) {
    if (file_ == nullptr && failure_.number == kNoError && !batched_) {
        Start(plan, temp);
        return;
    }
    // The staged name, already on the disk with the plan.
    if (!staged_temp_.empty() && temp == staged_temp_) {
        staged_temp_.clear();
        return;
    }
    // Another temporary name after a clash: the same start.
    if (Writing()) {
        Write(TempLine(temp));
        SyncNow();
    }
}

void JournalRecorder::Stage(const FlattenPlan& plan, const std::string& temp,
                            std::uint64_t& last_taken) {
    batched_ = true;
    if (!WritePlan(plan, temp, last_taken)) {
        return;
    }
    Flush();
    staged_temp_ = temp;
    waiting_ = Writing();
}

// Until the plan is synced the journal may still go; once the closing line
// is, the run's journal is let go of like one synced by itself.
void JournalRecorder::Synced(Failure failure) {
    if (!Writing() || !waiting_) {
        return;
    }
    waiting_ = false;
    if (failure) {
        Fail(std::move(failure));
        return;
    }
    if (!plan_durable_) {
        plan_durable_ = true;
        return;
    }
    kept_path_ = file_->path();
    file_.reset();
}

void JournalRecorder::Retire() {
    if (state() != RunState::kPlanned) {
        return;
    }
    if (file_ != nullptr) {
        const std::string path = file_->path();
        file_.reset();
        (void)RemoveJournal(path);
    }
    waiting_ = false;
    staged_temp_.clear();
}

void JournalRecorder::Start(const FlattenPlan& plan, const std::string& temp) {
    std::uint64_t last_taken = 0;
    if (!WritePlan(plan, temp, last_taken)) {
        return;
    }
    SyncNow();
    plan_durable_ = Writing();
    PruneJournals(folder_);
}

bool JournalRecorder::WritePlan(const FlattenPlan& plan, const std::string& temp,
                                std::uint64_t& last_taken) {
    if (plan.unrecordable) {
        Fail(plan.unrecordable);
        return false;
    }
    auto created = JournalFile::CreateNext(folder_, last_taken);
    if (!created.ok()) {
        Fail(created.error());
        return false;
    }
    file_ = std::move(created.value());
    Write(PlanLines(plan, AbsolutePath(plan.root.Root())));
    Write(TempLine(temp));
    return true;
}

void JournalRecorder::OnMoved(const std::string& name) {
    if (Writing()) {
        Write(MovedLine(name));
    }
}

void JournalRecorder::OnRemoved(const EntryPath& folder) {
    if (Writing()) {
        Write(RemovedLine(folder.Names()));
    }
}

void JournalRecorder::OnSettled(ChainPlace place) {
    if (Writing()) {
        Write(SettledLine(place));
    }
}

void JournalRecorder::OnClose() {
    if (!Writing()) {
        return;
    }
    Write(kCloseLine);
    if (batched_) {
        // Synced with the next batch's plans, after the changes it closes.
        Flush();
        waiting_ = Writing();
        return;
    }
    SyncNow();
    if (Writing()) {
        kept_path_ = file_->path();
        file_.reset();
    }
}

void JournalRecorder::Write(std::string_view text) {
    buffer_ += text;
    if (buffer_.size() >= kBufferLimit) {
        Flush();
    }
}

void JournalRecorder::Flush() {
    if (auto error = file_->Append(buffer_)) {
        Fail(error);
    }
    buffer_.clear();
}

void JournalRecorder::SyncNow() {
    if (!Writing()) {
        return;
    }
    Flush();
    if (Writing()) {
        if (auto error = file_->Sync()) {
            Fail(error);
        }
    }
}

// A plan that never reached the disk records nothing the disk can be judged
// by: the file goes. Once the plan is there, the journal stays whatever
// happens to its later lines, so that the run can still be finished.
void JournalRecorder::Fail(Failure failure) {
    failure_ = std::move(failure);
    if (failure_.number == kNoError) {
        failure_ = Failure(kUnexpected);
    }
    if (file_ == nullptr) {
        return;
    }
    const std::string path = file_->path();
    file_.reset();
    if (!plan_durable_) {
        (void)RemoveJournal(path);
    } else {
        kept_path_ = path;
    }
}

}  // namespace karuneo::journal
