#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/file_system.h"
#include "results/rules/work_progress.h"

namespace karuneo {
class ResultSink;
class WalkControl;
struct FinishedRow;

using FileSystemFactory = std::function<std::unique_ptr<FileSystem>()>;

// What to do with one folder: un-nesting it, unless a job says otherwise.
using FolderWork = std::function<void(const std::string& path, FileSystem& fs, ResultSink& sink,
                                      WalkControl& control)>;

// What a job is, so that the window can say what it does and its rows can
// say what they are.
enum class JobKind {
    kRun,
    kUndo,
    kFinish,    // a run that a crash cut off
    kLookBack,  // looking for what earlier sessions left
};

struct QueuedJob {
    std::string path;
    FolderWork work;
    JobKind kind = JobKind::kRun;
};

// The window's work, done on one worker thread so that the window thread
// only paints and takes input. Folders are taken in the order they were
// added, whichever drop or command line they came from. The worker touches
// nothing of the window: it hands each row, and the news that the queue ran
// dry, to `Handoff`, whose functions must return at once (the row one is
// called on the worker, and may only keep the row for the window thread).
class WorkQueue {
  public:
    struct Handoff {
        std::function<void(FinishedRow)> row;
        std::function<void()> drained;  // nothing in hand or waiting any more
    };

    // `unnest` is what Add does with each folder: the plain walk unless told.
    WorkQueue(FileSystemFactory make_file_system, Handoff handoff, FolderWork unnest = {});
    // Stops between two entries and waits for the worker.
    ~WorkQueue();
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    // Queues the folders behind whatever waits already.
    void Add(std::vector<std::string> paths);
    void AddJob(QueuedJob job);
    // A job without work of its own is un-nested as Add's are.
    void AddJobs(std::vector<QueuedJob> jobs);
    // Ahead of whatever waits, in their order: for work found while the
    // queue already holds the user's.
    void AddFirst(std::vector<QueuedJob> jobs);
    // The folder in hand stops at the next point between two entries and
    // gets its row; the folders still waiting are dropped without one. What
    // the folder in hand had moved is put back, where its work can; a second
    // stop ends that put-back too, between two entries.
    void Stop();
    // The same when the window is closing: no time to put back, so the
    // folder in hand is left as it stands (it can be undone later).
    void StopForClosing();

    bool Busy() const;
    WorkProgress Progress() const;

  private:
    class Control;

    void StopInHand(bool put_back);
    void Run();
    void Process(const QueuedJob& job, std::uint64_t serial);
    void ClearInHand();

    FileSystemFactory make_file_system_;
    Handoff handoff_;
    FolderWork unnest_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<QueuedJob> waiting_;
    bool in_hand_ = false;
    bool closing_ = false;
    std::string folder_in_hand_;
    JobKind kind_in_hand_ = JobKind::kRun;
    std::uint64_t serial_in_hand_ = 0;  // counts the folders taken, from 1
    std::uint64_t stop_serial_ = 0;     // the folder asked to stop, 0 for none
    int stops_asked_ = 0;               // of that folder
    bool put_back_ = true;              // what that stop asks of it
    bool putting_back_ = false;         // the folder in hand is being put back
    bool extracting_ = false;           // the path in hand is an archive being extracted
    long long done_ = 0;
    long long total_ = 0;
    unsigned long long bytes_ = 0;

    std::thread worker_;  // last: it starts once everything above is set
};

}  // namespace karuneo
