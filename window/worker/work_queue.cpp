#include "window/worker/work_queue.h"

#include <iterator>
#include <string_view>
#include <utility>

#include "engine/native_file_system.h"
#include "engine/reason/row_reason.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"
#include "engine/unnest.h"
#include "engine/walk_control.h"
#include "results/rules/finished_row.h"

namespace karuneo {

// The walk asks this between entries; it looks at the queue's own fields,
// so a stop asked for one folder never reaches the next.
class WorkQueue::Control final : public WalkControl {
  public:
    Control(WorkQueue& queue, std::uint64_t serial) : queue_(queue), serial_(serial) {}

    bool StopRequested() const override {
        const std::lock_guard lock(queue_.mutex_);
        return queue_.closing_ || queue_.stop_serial_ == serial_;
    }

    bool UndoWhenStopped() const override {
        const std::lock_guard lock(queue_.mutex_);
        return !queue_.closing_ && queue_.stop_serial_ == serial_ && queue_.put_back_;
    }

    bool StopAgainRequested() const override {
        const std::lock_guard lock(queue_.mutex_);
        return queue_.closing_ || (queue_.stop_serial_ == serial_ && queue_.stops_asked_ > 1);
    }

    void MoveProgress(long long moved, long long total) override {
        const std::lock_guard lock(queue_.mutex_);
        queue_.done_ = moved;
        queue_.total_ = total;
    }

    void PutBackProgress(long long moved, long long total) override {
        const std::lock_guard lock(queue_.mutex_);
        queue_.putting_back_ = true;
        queue_.done_ = moved;
        queue_.total_ = total;
    }

    // The un-nesting of the new folder that follows counts its moves as any
    // run does, still as part of the extraction.
    void ExtractProgress(long long entries, unsigned long long bytes) override {
        const std::lock_guard lock(queue_.mutex_);
        queue_.extracting_ = true;
        queue_.done_ = entries;
        queue_.bytes_ = bytes;
    }

  private:
    WorkQueue& queue_;
    std::uint64_t serial_;
};

namespace {

// Collects the walk's rows and hands each on as it comes.
class HandingSink final : public ResultSink {
  public:
    HandingSink(std::string path, RowWork work, const std::function<void(FinishedRow)>& hand)
        : path_(std::move(path)), work_(work), hand_(hand) {}

    void AddResult(std::string_view name, RowStatus status) override {
        AddResultWithReason(name, status, RowReason{});
    }
    void AddResultWithReason(std::string_view name, RowStatus status,
                             const RowReason& reason) override {
        AddResultOfKind(name, status, reason, RowKind::kFolder);
    }
    void AddResultOfKind(std::string_view name, RowStatus status, const RowReason& reason,
                         RowKind kind) override {
        hand_(FinishedRow{path_, std::string(name), status, reason, work_, kind});
    }

  private:
    std::string path_;
    RowWork work_;
    const std::function<void(FinishedRow)>& hand_;
};

WorkPhase PhaseOf(JobKind kind, bool putting_back, bool extracting) {
    if (extracting) {
        return WorkPhase::kExtracting;
    }
    switch (kind) {
        case JobKind::kRun:
            return putting_back ? WorkPhase::kPuttingBack : WorkPhase::kMoving;
        case JobKind::kUndo:
            return WorkPhase::kUndoing;
        case JobKind::kFinish:
            return WorkPhase::kFinishing;
        case JobKind::kLookBack:
            return WorkPhase::kLookingBack;
    }
    return WorkPhase::kMoving;
}

void Unnest(const std::string& path, FileSystem& fs, ResultSink& sink, WalkControl& control) {
    ProcessDroppedPath(path, fs, sink, control);
}

}  // namespace

WorkQueue::WorkQueue(FileSystemFactory make_file_system, Handoff handoff, FolderWork unnest)
    : make_file_system_(std::move(make_file_system)),
      handoff_(std::move(handoff)),
      unnest_(unnest ? std::move(unnest) : FolderWork(&Unnest)),
      worker_([this] { Run(); }) {}

WorkQueue::~WorkQueue() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
        waiting_.clear();
    }
    wake_.notify_all();
    worker_.join();
}

void WorkQueue::Add(std::vector<std::string> paths) {
    {
        const std::lock_guard lock(mutex_);
        for (auto& path : paths) {
            waiting_.push_back(QueuedJob{std::move(path), unnest_, JobKind::kRun});
        }
    }
    wake_.notify_all();
}

void WorkQueue::AddJob(QueuedJob job) {
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void WorkQueue::AddJobs(std::vector<QueuedJob> jobs) {
    {
        const std::lock_guard lock(mutex_);
        for (auto& job : jobs) {
            if (!job.work) {
                job.work = unnest_;
            }
            waiting_.push_back(std::move(job));
        }
    }
    wake_.notify_all();
}

void WorkQueue::AddFirst(std::vector<QueuedJob> jobs) {
    {
        const std::lock_guard lock(mutex_);
        waiting_.insert(waiting_.begin(), std::make_move_iterator(jobs.begin()),
                        std::make_move_iterator(jobs.end()));
    }
    wake_.notify_all();
}

void WorkQueue::Stop() {
    StopInHand(true);
}

void WorkQueue::StopForClosing() {
    StopInHand(false);
}

void WorkQueue::StopInHand(bool put_back) {
    const std::lock_guard lock(mutex_);
    waiting_.clear();
    if (!in_hand_) {
        return;
    }
    if (stop_serial_ != serial_in_hand_) {
        stop_serial_ = serial_in_hand_;
        stops_asked_ = 0;
        put_back_ = put_back;
    }
    ++stops_asked_;
}

bool WorkQueue::Busy() const {
    const std::lock_guard lock(mutex_);
    return in_hand_ || !waiting_.empty();
}

WorkProgress WorkQueue::Progress() const {
    const std::lock_guard lock(mutex_);
    WorkProgress progress;
    if (!in_hand_ && waiting_.empty()) {
        return progress;
    }
    if (in_hand_) {
        // A run asked to stop is about to be put back: it reads its journal
        // and the disk first, which takes a while for a big folder, and the
        // count it stopped at would only stand still meanwhile.
        const bool put_back_asked = kind_in_hand_ == JobKind::kRun &&
                                    stop_serial_ == serial_in_hand_ && put_back_ && !closing_;
        progress.phase = PhaseOf(kind_in_hand_, putting_back_ || put_back_asked, extracting_);
        progress.folder = folder_in_hand_;
        if (putting_back_ || !put_back_asked) {
            progress.done = done_;
            progress.total = total_;
            progress.bytes = bytes_;
        }
        progress.waiting = waiting_.size();
    } else {
        // Taken up next, in a moment: shown as begun already.
        progress.phase = PhaseOf(waiting_.front().kind, false, false);
        progress.folder = waiting_.front().path;
        progress.waiting = waiting_.size() - 1;
    }
    const bool stopped = stop_serial_ == serial_in_hand_ && in_hand_;
    progress.stopping = stopped || closing_;
    // A put-back answers one stop more; everything else the first. A stopped
    // extraction removes what it made whatever the stops.
    const int stops_heard = kind_in_hand_ == JobKind::kRun && put_back_ && !extracting_ ? 2 : 1;
    progress.can_stop = in_hand_ && !closing_ && kind_in_hand_ != JobKind::kLookBack &&
                        (!stopped || stops_asked_ < stops_heard);
    return progress;
}

void WorkQueue::Run() {
    std::unique_ptr<FileSystem> fs;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return closing_ || !waiting_.empty(); });
        if (closing_) {
            return;
        }
        QueuedJob job = std::move(waiting_.front());
        waiting_.pop_front();
        in_hand_ = true;
        folder_in_hand_ = job.path;
        kind_in_hand_ = job.kind;
        const std::uint64_t serial = ++serial_in_hand_;
        lock.unlock();
        Process(job, serial);
        lock.lock();
        ClearInHand();
        if (waiting_.empty() && !closing_) {
            lock.unlock();
            handoff_.drained();
            lock.lock();
        }
    }
}

void WorkQueue::Process(const QueuedJob& job, std::uint64_t serial) {
    // Nothing may end the worker: the walk itself never throws, so only a
    // failure to make the layer or to hand a row on could land here.
    try {
        // Made afresh for each folder, as a drop of one would.
        // The look for what earlier sessions left reads journals and asks
        // whether folders exist; the layer the window was given is for the
        // folders it hands over, one each.
        const std::unique_ptr<FileSystem> fs =
            job.kind == JobKind::kLookBack ? MakeNativeFileSystem() : make_file_system_();
        HandingSink sink(job.path, job.kind == JobKind::kUndo ? RowWork::kUndo : RowWork::kRun,
                         handoff_.row);
        Control control(*this, serial);
        job.work(job.path, *fs, sink, control);
    } catch (...) {
    }
}

void WorkQueue::ClearInHand() {
    in_hand_ = false;
    folder_in_hand_.clear();
    putting_back_ = false;
    extracting_ = false;
    done_ = total_ = 0;
    bytes_ = 0;
}

}  // namespace karuneo
