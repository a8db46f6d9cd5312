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
    if (file_ == nullptr && failure_.number == kNoError) {
        Start(plan, temp);
        return;
    }
    // Another temporary name after a clash: the same start.
    if (Writing()) {
        Write(TempLine(temp));
        SyncNow();
    }
}

void JournalRecorder::Start(const FlattenPlan& plan, const std::string& temp) {
    if (plan.unrecordable) {
        Fail(plan.unrecordable);
        return;
    }
    auto created = JournalFile::CreateNew(folder_);
    if (!created.ok()) {
        Fail(created.error);
        return;
    }
    file_ = std::move(created.value);
    Write(PlanLines(plan, AbsolutePath(plan.root.Root())));
    Write(TempLine(temp));
    SyncNow();
    plan_durable_ = Writing();
    PruneJournals(folder_);
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
