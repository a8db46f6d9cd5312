#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "results/rules/finished_row.h"
#include "window/worker/work_queue.h"

namespace karuneo {
class FileSystem;
struct WorkProgress;

// What a window does for its work session; called on the window's own
// thread only.
class WorkView {
  public:
    virtual ~WorkView() = default;
    // Busy from the first folder queued until the last row is shown: the
    // pointer says so, and the view calls Tick every kTickMs meanwhile.
    virtual void ShowBusy(bool busy) = 0;
    // Only while busy; the drop area's lines and 中止 follow it.
    virtual void ShowProgress(const WorkProgress& progress) = 0;
    virtual void AddRows(const std::vector<FinishedRow>& rows) = 0;
    // The window was asked to close while working, and the work has now
    // stopped: it goes without asking again.
    virtual void CloseNow() = 0;
};

// Hands a function to the window's thread, through the toolkit's own queue,
// and returns at once. Called from the worker.
using PostToWindow = std::function<void(std::function<void()>)>;

// What the session does with each kind of work; the windows take the
// journaled ones, tests what they need.
struct LeftOver {
    std::vector<QueuedJob> finish;     // runs a crash cut off: done first
    std::vector<FinishedRow> notices;  // rows worth a user's knowing
};
struct SessionWork {
    FolderWork run;
    FolderWork undo;
    // Looks, on the worker, for what earlier sessions left.
    std::function<LeftOver(FileSystem& fs)> left_over;
    // What `run` does, but with dropped archives extracted; none to leave
    // them always to `run`.
    FolderWork run_extracting = {};
};
SessionWork JournaledSessionWork(const std::string& journal_folder);

// Everything a window does with its work, written once for both windows:
// what it queues, how it stops, when it is idle, how rows reach its list
// and when it may close. The window only forwards the user's actions and
// shows what it is told.
class WorkSession {
  public:
    // Rows and progress are drawn together at this pace: a count that moves
    // ten times a second reads as live, and a burst of small folders joins
    // the list in a few batches rather than a redraw per row.
    static constexpr int kTickMs = 100;

    WorkSession(WorkView& view, PostToWindow post, FileSystemFactory make_file_system,
                SessionWork work);
    ~WorkSession();
    WorkSession(const WorkSession&) = delete;
    WorkSession& operator=(const WorkSession&) = delete;

    // Once the window is drawn: what earlier sessions left comes first, then
    // the paths given before.
    void Start();
    // A drop, the command line or a later start's hand-over: queued behind
    // what waits (held until Start). False while closing: not taken.
    bool Add(std::vector<std::string> paths);
    // 元に戻す for the folder; false while closing.
    bool Undo(std::string folder);
    // Any other work the window offers (the history's), behind what waits.
    bool AddJob(QueuedJob job);
    // Whether archives added from now on are extracted; what waits keeps
    // what held when it was added.
    void ExtractArchives(bool extract) { extract_archives_ = extract; }
    bool ExtractsArchives() const { return extract_archives_; }
    // Esc or 中止: stop between two entries, put back what the folder in hand
    // had moved, drop what waits. Again: stop the put-back too.
    void Stop();
    // True when the window may close now; otherwise the work stops (leaving
    // the folder in hand as it stands) and CloseNow comes once it has.
    bool Close();
    void Tick();

    bool Busy() const { return busy_; }
    bool Closing() const { return closing_; }
    bool Started() const { return started_; }

  private:
    void Queue(std::vector<QueuedJob> jobs);
    void HandRow(FinishedRow row);  // on the worker
    void BecomeBusy();
    void TakeRows();
    void Drained();
    void GoIdle();

    WorkView& view_;
    PostToWindow post_;
    SessionWork work_;
    bool started_ = false;
    bool busy_ = false;
    bool closing_ = false;
    bool extract_archives_ = false;
    // With what held when each was added.
    std::vector<QueuedJob> before_start_;
    // Rows wait here until the next tick: the worker never wakes the window
    // for a single row.
    std::mutex inbox_mutex_;
    std::vector<FinishedRow> inbox_;
    // Tells queued calls from the worker that the session is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Last: its destructor stops and joins the worker, which may still hand
    // rows until then.
    std::unique_ptr<WorkQueue> queue_;
};

}  // namespace karuneo
