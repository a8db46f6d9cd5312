// The work session both windows drive: what the window is told, in which
// order, for the user's actions and the worker's news. The worker is real;
// the folders' work is scripted, and the window's queue is a list the test
// pumps, as the toolkit's event loop would.
#include "window/worker/work_session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/native_file_system.h"
#include "engine/result_sink.h"
#include "engine/walk_control.h"
#include "results/rules/finished_row.h"
#include "window/rules/progress_text.h"

namespace karuneo {
namespace {

using namespace std::chrono_literals;

// Records what the session asks of the window, one word each.
class ViewLog final : public WorkView {
  public:
    void ShowBusy(bool busy) override { log.push_back(busy ? "busy" : "idle"); }
    void ShowProgress(const WorkProgress& progress) override {
        last_progress = progress;
        ++progress_shown;
    }
    void AddRows(const std::vector<FinishedRow>& rows) override {
        for (const auto& row : rows) {
            log.push_back(row.name + " " + std::string(FinishedStatusText(row)));
        }
    }
    void CloseNow() override { log.push_back("close"); }

    std::vector<std::string> log;
    WorkProgress last_progress;
    int progress_shown = 0;
};

// The window thread's queue.
class Posted {
  public:
    PostToWindow Post() {
        return [this](std::function<void()> call) {
            const std::lock_guard lock(mutex_);
            calls_.push_back(std::move(call));
            changed_.notify_all();
        };
    }
    // Runs what was posted until `done` holds, as an event loop would.
    void PumpUntil(const std::function<bool()>& done) {
        const auto give_up = std::chrono::steady_clock::now() + 20s;
        while (!done() && std::chrono::steady_clock::now() < give_up) {
            std::vector<std::function<void()>> calls;
            {
                std::unique_lock lock(mutex_);
                changed_.wait_for(lock, 5ms, [&] { return !calls_.empty(); });
                calls.swap(calls_);
            }
            for (auto& call : calls) {
                call();
            }
        }
        ASSERT_TRUE(done());
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::function<void()>> calls_;
};

// A folder's scripted work: ten entries, each waiting at a gate the test
// opens; stopped, it puts back what it moved, answering a second stop.
class Script {
  public:
    FolderWork Work(RowStatus done_as = RowStatus::kDone) {
        return [this, done_as](const std::string& path, FileSystem&, ResultSink& sink,
                               WalkControl& control) {
            const std::string name = path.substr(path.rfind('/') + 1);
            int moved = 0;
            for (; moved < kEntries && !control.StopRequested(); ++moved) {
                control.MoveProgress(moved, kEntries);
                Pass(name);
            }
            if (moved == kEntries) {
                sink.AddResult(name, done_as);
                return;
            }
            if (control.UndoWhenStopped()) {
                for (int back = 0; back < moved && !control.StopAgainRequested(); ++back) {
                    control.PutBackProgress(back, moved);
                    Pass(name);
                }
            }
            sink.AddResult(name, RowStatus::kError);
        };
    }
    // Lets the worker take `steps` more steps in all.
    void Allow(int steps) {
        const std::lock_guard lock(mutex_);
        allowed_ += steps;
        changed_.notify_all();
    }
    // Waits until the worker waits at the gate in folder `name`.
    void WaitAtGate(const std::string& name) {
        std::unique_lock lock(mutex_);
        ASSERT_TRUE(changed_.wait_for(lock, 20s, [&] { return waiting_in_ == name; }));
    }

    static constexpr int kEntries = 10;

  private:
    // Waits at the gate only when no step is left: the test then knows
    // exactly where the worker stands.
    void Pass(const std::string& name) {
        std::unique_lock lock(mutex_);
        if (allowed_ == 0) {
            waiting_in_ = name;
            changed_.notify_all();
            changed_.wait(lock, [&] { return allowed_ > 0; });
            waiting_in_.clear();
        }
        --allowed_;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    int allowed_ = 0;
    std::string waiting_in_;
};

struct Session {
    explicit Session(SessionWork work)
        : session(view, posted.Post(), MakeNativeFileSystem, std::move(work)) {}
    // The tick the window's timer gives, until the session is idle.
    void RunToIdle() {
        posted.PumpUntil([&] {
            session.Tick();
            return !session.Busy();
        });
    }
    void TickUntil(const std::function<bool(const WorkProgress&)>& shown) {
        posted.PumpUntil([&] {
            session.Tick();
            return shown(view.last_progress);
        });
    }

    ViewLog view;
    Posted posted;
    WorkSession session;
};

TEST(WorkSession, WhatEarlierSessionsLeftComesFirstThenTheFoldersGivenBeforeStart) {
    Script script;
    script.Allow(1000);
    SessionWork work{script.Work(), script.Work(), [&](FileSystem&) {
                         LeftOver left;
                         left.finish.push_back({"/x/cut", script.Work(), JobKind::kFinish});
                         left.notices.push_back(
                             FinishedRow{"/x/half", "half", RowStatus::kError, {}, RowWork::kRun});
                         return left;
                     }};
    Session s(std::move(work));
    EXPECT_TRUE(s.session.Add({"/x/D", "/x/E"}));
    EXPECT_TRUE(s.view.log.empty());  // nothing before the window is drawn
    s.session.Start();
    s.RunToIdle();
    EXPECT_EQ(s.view.log, (std::vector<std::string>{"busy", "half エラー", "cut 完了", "D 完了",
                                                    "E 完了", "idle"}));
}

TEST(WorkSession, StopPutsBackWithProgressAndASecondStopEndsThePutBack) {
    Script script;
    Session s({script.Work(), script.Work(), {}});
    s.session.Start();
    s.session.Add({"/x/D", "/x/E"});
    script.Allow(5);
    script.WaitAtGate("D");
    s.session.Stop();
    EXPECT_TRUE(s.view.last_progress.stopping);
    // Said at once, without the count it stopped at standing still.
    EXPECT_EQ(DescribeProgress(s.view.last_progress).folder, "元に戻しています: D");
    EXPECT_EQ(DescribeProgress(s.view.last_progress).entries, "");
    script.Allow(2);
    s.TickUntil(
        [](const WorkProgress& p) { return p.phase == WorkPhase::kPuttingBack && p.done == 1; });
    EXPECT_EQ(s.view.last_progress.total, 6);  // the five passed, and the one in hand
    EXPECT_TRUE(s.view.last_progress.can_stop);
    EXPECT_EQ(DescribeProgress(s.view.last_progress).folder, "元に戻しています: D");
    s.session.Stop();
    EXPECT_FALSE(s.view.last_progress.can_stop);
    script.Allow(1000);
    s.RunToIdle();
    // E waited and was dropped without a row.
    EXPECT_EQ(s.view.log, (std::vector<std::string>{"busy", "D エラー", "idle"}));
}

TEST(WorkSession, AnUndoIsShownAsOneAndItsRowSaysSo) {
    Script script;
    Session s({script.Work(), script.Work(), {}});
    s.session.Start();
    s.session.Undo("/x/D");
    script.Allow(3);
    s.TickUntil([](const WorkProgress& p) { return p.done == 3; });
    EXPECT_EQ(DescribeProgress(s.view.last_progress).folder, "元に戻しています: D");
    EXPECT_EQ(DescribeProgress(s.view.last_progress).entries, "3 / 10 件");
    script.Allow(1000);
    s.RunToIdle();
    // One the engine refuses (nothing to undo, already undone) is an error.
    Session refused({script.Work(), script.Work(RowStatus::kUntouched), {}});
    refused.session.Start();
    refused.session.Undo("/x/F");
    refused.RunToIdle();
    EXPECT_EQ(s.view.log, (std::vector<std::string>{"busy", "D 元に戻しました", "idle"}));
    EXPECT_EQ(refused.view.log, (std::vector<std::string>{"busy", "F エラー", "idle"}));
}

// The switch holds for what is dropped while it is set: a drop waiting when
// it changes keeps what held, and so do drops made before the window is drawn.
TEST(WorkSession, ArchivesAreExtractedOnlyWhenDroppedWithTheSwitchOn) {
    Script script;
    script.Allow(1000);
    SessionWork work{script.Work(), script.Work(), {}, script.Work(RowStatus::kDoneEmpty)};
    Session s(std::move(work));
    s.session.ExtractArchives(true);
    s.session.Add({"/x/early"});
    s.session.Start();
    s.session.ExtractArchives(false);
    s.session.Add({"/x/off"});
    s.session.ExtractArchives(true);
    s.session.Add({"/x/on"});
    s.RunToIdle();
    // The extracting work is told by its status here.
    EXPECT_EQ(s.view.log, (std::vector<std::string>{"busy", "early 完了<フォルダは空>", "off 完了",
                                                    "on 完了<フォルダは空>", "idle"}));
}

TEST(WorkSession, ClosingWhileWorkingWaitsForTheStopAndTakesNoMoreWork) {
    Script script;
    Session s({script.Work(), script.Work(), {}});
    s.session.Start();
    s.session.Add({"/x/D"});
    script.Allow(3);
    script.WaitAtGate("D");
    EXPECT_FALSE(s.session.Close());
    EXPECT_FALSE(s.session.Add({"/x/E"}));
    EXPECT_FALSE(s.session.Undo("/x/D"));
    script.Allow(1000);
    s.RunToIdle();
    // No put-back on the way out: the folder stays as it stands.
    EXPECT_EQ(s.view.log, (std::vector<std::string>{"busy", "D エラー", "idle", "close"}));

    Session idle({script.Work(), script.Work(), {}});
    EXPECT_TRUE(idle.session.Close());
    EXPECT_TRUE(idle.view.log.empty());
}

}  // namespace
}  // namespace karuneo
