#include "window/worker/work_queue.h"

#include <string_view>
#include <utility>

#include "engine/result_sink.h"
#include "engine/unnest.h"
#include "engine/walk_control.h"

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

    void MoveProgress(long long moved, long long total) override {
        const std::lock_guard lock(queue_.mutex_);
        queue_.moved_ = moved;
        queue_.total_ = total;
    }

  private:
    WorkQueue& queue_;
    std::uint64_t serial_;
};

namespace {

// Collects the walk's rows and hands each on as it comes.
class HandingSink final : public ResultSink {
  public:
    HandingSink(std::string path, const std::function<void(FinishedRow)>& hand)
        : path_(std::move(path)), hand_(hand) {}

    void AddResult(std::string_view name, RowStatus status) override {
        AddResultWithReason(name, status, RowReason{});
    }
    void AddResultWithReason(std::string_view name, RowStatus status,
                             const RowReason& reason) override {
        hand_(FinishedRow{path_, std::string(name), status, reason});
    }

  private:
    std::string path_;
    const std::function<void(FinishedRow)>& hand_;
};

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
            waiting_.push_back(Job{std::move(path), unnest_});
        }
    }
    wake_.notify_all();
}

void WorkQueue::AddJob(std::string path, FolderWork work) {
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(Job{std::move(path), std::move(work)});
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
    if (in_hand_) {
        stop_serial_ = serial_in_hand_;
        put_back_ = put_back;
    }
}

bool WorkQueue::Busy() const {
    const std::lock_guard lock(mutex_);
    return in_hand_ || !waiting_.empty();
}

WorkProgress WorkQueue::Progress() const {
    const std::lock_guard lock(mutex_);
    return WorkProgress{in_hand_ || !waiting_.empty(), folder_in_hand_, moved_, total_,
                        waiting_.size()};
}

void WorkQueue::Run() {
    std::unique_ptr<FileSystem> fs;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return closing_ || !waiting_.empty(); });
        if (closing_) {
            return;
        }
        Job job = std::move(waiting_.front());
        waiting_.pop_front();
        in_hand_ = true;
        folder_in_hand_ = job.path;
        moved_ = total_ = 0;
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

void WorkQueue::Process(const Job& job, std::uint64_t serial) {
    // Nothing may end the worker: the walk itself never throws, so only a
    // failure to make the layer or to hand a row on could land here.
    try {
        // Made afresh for each folder, as a drop of one would.
        const std::unique_ptr<FileSystem> fs = make_file_system_();
        HandingSink sink(job.path, handoff_.row);
        Control control(*this, serial);
        job.work(job.path, *fs, sink, control);
    } catch (...) {
    }
}

void WorkQueue::ClearInHand() {
    in_hand_ = false;
    folder_in_hand_.clear();
    moved_ = total_ = 0;
}

}  // namespace karuneo
