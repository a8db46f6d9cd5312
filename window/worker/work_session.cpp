#include "window/worker/work_session.h"

#include <iterator>
#include <utility>
#include <variant>

#include "results/rules/work_progress.h"

namespace karuneo {
class FileSystem;
class ResultSink;
class WalkControl;

WorkSession::WorkSession(WorkView& view, PostToWindow post, FileSystemFactory make_file_system,
                         SessionWork work)
    : view_(view), post_(std::move(post)), work_(std::move(work)) {
    WorkQueue::Handoff handoff{[this](FinishedRow row) { HandRow(std::move(row)); },
                               [this, alive = std::weak_ptr<bool>(alive_)] {
                                   post_([this, alive] {
                                       if (!alive.expired()) {
                                           Drained();
                                       }
                                   });
                               }};
    queue_ =
        std::make_unique<WorkQueue>(std::move(make_file_system), std::move(handoff), work_.run);
}

WorkSession::~WorkSession() {
    queue_.reset();
    alive_.reset();
}

void WorkSession::Start() {
    if (started_) {
        return;
    }
    started_ = true;
    if (work_.left_over) {
        // Looked for on the worker: reading journals has no place on the way
        // to the window's first paint. What it finds goes ahead of the
        // user's folders, which are the ones a user waits on next; the
        // window shows itself busy only when there is something. The job
        // holds the queue itself, not the member: that is cleared before
        // the queue is gone.
        queue_->AddJob({{},
                        [this, queue = queue_.get(), alive = std::weak_ptr<bool>(alive_)](
                            const std::string&, FileSystem& fs, ResultSink&, WalkControl&) {
                            LeftOver left = work_.left_over(fs);
                            if (left.finish.empty() && left.notices.empty()) {
                                return;
                            }
                            queue->AddFirst(std::move(left.finish));
                            for (FinishedRow& notice : left.notices) {
                                HandRow(std::move(notice));
                            }
                            post_([this, alive] {
                                if (!alive.expired()) {
                                    BecomeBusy();
                                }
                            });
                        },
                        JobKind::kLookBack});
    }
    Queue(std::exchange(before_start_, {}));
}

bool WorkSession::Add(std::vector<std::string> paths) {
    if (closing_) {
        return false;
    }
    // A job without work of its own is the queue's run.
    const FolderWork& work =
        extract_archives_ && work_.run_extracting ? work_.run_extracting : FolderWork{};
    std::vector<QueuedJob> jobs;
    jobs.reserve(paths.size());
    for (auto& path : paths) {
        jobs.push_back({std::move(path), work, JobKind::kRun});
    }
    if (!started_) {
        before_start_.insert(before_start_.end(), std::make_move_iterator(jobs.begin()),
                             std::make_move_iterator(jobs.end()));
        return true;
    }
    Queue(std::move(jobs));
    return true;
}

bool WorkSession::Undo(std::string folder) {
    return AddJob({std::move(folder), work_.undo, JobKind::kUndo});
}

bool WorkSession::AddJob(QueuedJob job) {
    if (closing_) {
        return false;
    }
    queue_->AddJob(std::move(job));
    BecomeBusy();
    return true;
}

void WorkSession::Queue(std::vector<QueuedJob> jobs) {
    if (jobs.empty()) {
        return;
    }
    queue_->AddJobs(std::move(jobs));
    BecomeBusy();
}

void WorkSession::Stop() {
    queue_->Stop();
    // Folders that waited and were dropped bring no news of their own; with
    // none in hand, nothing will tell the window the queue ran dry.
    if (busy_ && !queue_->Busy()) {
        GoIdle();
        return;
    }
    Tick();
}

bool WorkSession::Close() {
    if (!busy_) {
        closing_ = true;
        return true;
    }
    closing_ = true;
    // No time to put back: the folder in hand stays as it stands, and its
    // journal lets 元に戻す take it back at a later start.
    queue_->StopForClosing();
    if (!queue_->Busy()) {
        GoIdle();
        return true;
    }
    Tick();
    return false;
}

void WorkSession::HandRow(FinishedRow row) {
    const std::lock_guard lock(inbox_mutex_);
    inbox_.push_back(std::move(row));
}

void WorkSession::Tick() {
    TakeRows();
    const WorkProgress progress = queue_->Progress();
    // Ran dry a moment ago: the news is on its way, and what is shown stays.
    if (progress.busy()) {
        view_.ShowProgress(progress);
    }
}

// Also for work added while busy: the count of folders waiting changes at
// once, not at the next tick.
void WorkSession::BecomeBusy() {
    if (!busy_) {
        busy_ = true;
        view_.ShowBusy(true);
    }
    Tick();
}

void WorkSession::TakeRows() {
    std::vector<FinishedRow> rows;
    {
        const std::lock_guard lock(inbox_mutex_);
        rows.swap(inbox_);
    }
    if (!rows.empty()) {
        view_.AddRows(rows);
    }
}

void WorkSession::Drained() {
    // Folders added after the worker ran dry keep it busy; their own news
    // comes later.
    if (!busy_ || queue_->Busy()) {
        return;
    }
    GoIdle();
    if (closing_) {
        view_.CloseNow();
    }
}

void WorkSession::GoIdle() {
    TakeRows();
    busy_ = false;
    view_.ShowBusy(false);
}

}  // namespace karuneo
