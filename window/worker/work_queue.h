#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/file_system.h"
#include "engine/reason/row_reason.h"
#include "engine/row_status.h"

namespace karuneo {
class ResultSink;
class WalkControl;

using FileSystemFactory = std::function<std::unique_ptr<FileSystem>()>;

// One outcome row as the worker hands it to the window thread.
struct FinishedRow {
    std::string dropped_path;  // as it was dropped or given
    std::string name;
    RowStatus status;
    RowReason reason;
};

// What a window shows while work goes on; a copy, safe to read anywhere.
struct WorkProgress {
    bool busy = false;
    std::string folder;  // the dropped path in hand
    long long moved = 0;
    long long total = 0;      // entries of its deepest folder; 0 until known
    std::size_t waiting = 0;  // folders queued behind it
};

// What to do with one folder: un-nesting it, unless a job says otherwise.
using FolderWork = std::function<void(const std::string& path, FileSystem& fs, ResultSink& sink,
                                      WalkControl& control)>;

// The window's work, done on one worker thread so that the window thread
// only paints and takes input. Folders are taken in the order they were
// added, whichever drop or command line they came from. The worker touches
// nothing of the window: it hands each row, and the news that the queue ran
// dry, to `Handoff`, whose functions must pass them to the window thread
// through the toolkit's queue and return.
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
    void AddJob(std::string path, FolderWork work);
    // The folder in hand stops at the next point between two entries and
    // gets its row; the folders still waiting are dropped without one. What
    // the folder in hand had moved is put back, where its work can.
    void Stop();
    // The same when the window is closing: no time to put back, so the
    // folder in hand is left as it stands (it can be undone later).
    void StopForClosing();

    bool Busy() const;
    WorkProgress Progress() const;

  private:
    struct Job {
        std::string path;
        FolderWork work;
    };
    class Control;

    void StopInHand(bool put_back);
    void Run();
    void Process(const Job& job, std::uint64_t serial);
    void ClearInHand();

    FileSystemFactory make_file_system_;
    Handoff handoff_;
    FolderWork unnest_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> waiting_;
    bool in_hand_ = false;
    bool closing_ = false;
    std::string folder_in_hand_;
    std::uint64_t serial_in_hand_ = 0;  // counts the folders taken, from 1
    std::uint64_t stop_serial_ = 0;     // the folder asked to stop, 0 for none
    bool put_back_ = true;              // what that stop asks of it
    long long moved_ = 0;
    long long total_ = 0;

    std::thread worker_;  // last: it starts once everything above is set
};

}  // namespace karuneo
