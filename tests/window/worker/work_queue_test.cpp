// The window's worker: folders in the order they came, rows handed on as
// each folder ends, a stop that ends the folder in hand between two entries
// and drops those waiting.
#include "window/worker/work_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/native_file_system.h"
#include "engine/unnest.h"
#include "results/rules/finished_row.h"
#include "results/rules/status_text.h"
#include "tests/support/temp_tree.h"

namespace karuneo {
namespace {

using namespace std::chrono_literals;
using testing::FileContents;
using testing::TempTree;

// What the window thread would receive, gathered under a lock.
class Received {
  public:
    WorkQueue::Handoff Handoff() {
        return {[this](FinishedRow row) {
                    const std::lock_guard lock(mutex_);
                    rows_.push_back(std::move(row));
                    changed_.notify_all();
                },
                [this] {
                    const std::lock_guard lock(mutex_);
                    ++drained_;
                    changed_.notify_all();
                }};
    }
    // Waits until the queue has run dry `times` times in all.
    std::vector<FinishedRow> RowsOnceDrained(int times) {
        std::unique_lock lock(mutex_);
        EXPECT_TRUE(changed_.wait_for(lock, 20s, [&] { return drained_ >= times; }));
        return rows_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<FinishedRow> rows_;
    int drained_ = 0;
};

std::vector<std::string> Names(const std::vector<FinishedRow>& rows) {
    std::vector<std::string> names;
    for (const auto& row : rows) {
        names.push_back(row.name + " " + std::string(StatusText(row.status)));
    }
    return names;
}

TEST(WorkQueue, FoldersOfEveryAddAreDoneInTheOrderTheyCame) {
    TempTree tree;
    tree.Add({"P/A/f", "Q/x", "Q/y", "R/A/B/g", "S/"});
    Received received;
    WorkQueue queue(MakeNativeFileSystem, received.Handoff());
    queue.Add({tree.Path("P"), tree.Path("Q")});
    queue.Add({tree.Path("R"), tree.Path("nothing"), tree.Path("S")});
    const auto rows = received.RowsOnceDrained(1);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"P 完了", "Q 未処理", "R 完了", "S 未処理"}));
    EXPECT_EQ(rows.front().dropped_path, tree.Path("P"));
    EXPECT_FALSE(queue.Busy());
}

// Blocks the worker inside a folder until the test lets it go.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool entered = false;
    bool open = false;
};

TEST(WorkQueue, StopEndsTheFolderInHandAndDropsTheWaitingOnes) {
    TempTree tree;
    tree.Add({"P/A/f", "Q/A/g"});
    Gate gate;
    Received received;
    WorkQueue queue(MakeNativeFileSystem, received.Handoff());
    queue.AddJob({tree.Path("P"), [&gate](const std::string& path, FileSystem& fs, ResultSink& sink,
                                          WalkControl& control) {
                      {
                          std::unique_lock lock(gate.mutex);
                          gate.entered = true;
                          gate.opened.notify_all();
                          gate.opened.wait(lock, [&] { return gate.open; });
                      }
                      ProcessDroppedPath(path, fs, sink, control);
                  }});
    queue.Add({tree.Path("Q")});
    {
        std::unique_lock lock(gate.mutex);
        gate.opened.wait(lock, [&] { return gate.entered; });
    }
    EXPECT_EQ(queue.Progress().folder, tree.Path("P"));
    EXPECT_EQ(queue.Progress().waiting, 1u);
    queue.Stop();
    {
        const std::lock_guard lock(gate.mutex);
        gate.open = true;
    }
    gate.opened.notify_all();
    const auto rows = received.RowsOnceDrained(1);
    ASSERT_EQ(Names(rows), std::vector<std::string>{"P エラー"});
    EXPECT_EQ(tree.Take("P").count("A/f"), 1u);  // stopped before the rename
    EXPECT_EQ(tree.Take("Q").count("A/g"), 1u);  // never started

    // A stop is for the folder it was asked for, not the next drop.
    queue.Add({tree.Path("Q")});
    EXPECT_EQ(Names(received.RowsOnceDrained(2)), (std::vector<std::string>{"P エラー", "Q 完了"}));
}

TEST(WorkQueue, DestroyingTheQueueStopsBetweenEntriesAndLosesNothing) {
    TempTree tree;
    tree.AddEmptyFiles("P/A/B", 3000);
    const auto before = FileContents(tree.Take("P"));
    Received received;
    {
        WorkQueue queue(MakeNativeFileSystem, received.Handoff());
        queue.Add({tree.Path("P")});
        while (queue.Progress().done == 0 && queue.Busy()) {
            std::this_thread::yield();
        }
    }
    EXPECT_EQ(FileContents(tree.Take("P")), before);
}

}  // namespace
}  // namespace karuneo
