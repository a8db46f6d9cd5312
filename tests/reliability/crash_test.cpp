// Kills karuneo-cli with SIGKILL at random moments of a walk and checks that
// whatever state it leaves loses nothing, and that running it again on that
// state loses nothing either. KARUNEO_CRASH_RUNS sets the number of runs.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/reliability/cli_process.h"
#include "tests/support/placement.h"
#include "tests/support/platform.h"
#include "tests/support/temp_tree.h"

namespace karuneo {
namespace {

using testing::Placement;
using testing::TempTree;
using Micros = std::chrono::microseconds;

constexpr int kDefaultRuns = 300;
// Enough that the moves take a share of the run that random kills find;
// under the sanitizers, whose start and exit take most of it, more.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kFiles = 600;
#else
constexpr int kFiles = 150;
#endif

int Runs() {
    const char* text = std::getenv("KARUNEO_CRASH_RUNS");
    return text != nullptr ? std::max(1, std::atoi(text)) : kDefaultRuns;
}

// Plain files, a subfolder and a hidden file: every kind of move the walk makes.
std::vector<std::string> ChainEntries() {
    std::vector<std::string> entries{"A/B/G/g", "A/B/.h"};
    for (int i = 0; i < kFiles; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "A/B/f%03d", i);
        entries.push_back(name);
    }
    return entries;
}

struct CrashSetUp {
    TempTree tree;
    std::vector<std::string> entries = ChainEntries();
    Placement placement{entries, "A/B/", {}, false};

    // Each kill gets a state folder of its own: the runs it cuts off are no
    // other test's business, and --recover finishes exactly that one.
    CrashSetUp() {
        tree.Add({"keep"}, "outside");
        tree.Add(entries, "D");
        ::setenv("XDG_STATE_HOME", tree.Path("state").c_str(), 1);
    }
    ~CrashSetUp() { ::setenv("XDG_STATE_HOME", testing::KeepJournalsInTests().c_str(), 1); }
    CrashSetUp(const CrashSetUp&) = delete;
    CrashSetUp& operator=(const CrashSetUp&) = delete;
    std::vector<std::string> Args() const { return {tree.Path("D")}; }
};

// How long an uninterrupted walk takes, start-up included, so that the kill
// moments spread over the whole of it whatever the build.
Micros FullRunTime() {
    std::vector<Micros> times;
    for (int i = 0; i < 3; ++i) {
        const CrashSetUp setup;
        const auto start = std::chrono::steady_clock::now();
        testing::RunCliProcess(setup.Args());
        times.push_back(
            std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    return times[1];
}

enum class Reached { kNothing, kPart, kAll };

Reached Progress(const testing::Snapshot& before, const testing::Snapshot& after,
                 const Placement& placement) {
    if (after == before) {
        return Reached::kNothing;
    }
    return testing::AllMovedUp(after, placement) ? Reached::kAll : Reached::kPart;
}

// Kill moments at random, every other one over a whole uninterrupted walk and
// the rest within the window the kills so far place the moves in: after the
// last kill that found nothing moved, before the first that found everything
// moved. The moves take a few milliseconds of a run whose start, syncs and
// exit take the rest, so kills spread evenly could all miss them. The seed,
// in every trace, replays a failure.
class KillMoments {
  public:
    KillMoments() : full_(FullRunTime()), random_(seed_), after_(0), before_(full_) {}

    Micros full() const { return full_; }
    Micros Next() {
        const bool whole = (++drawn_ % 2) != 0;
        std::uniform_int_distribution<long> moment(whole ? 0 : after_.count(),
                                                   whole ? full_.count() : before_.count());
        return Micros(moment(random_));
    }
    void Learn(Micros delay, Reached reached) {
        if (reached == Reached::kNothing) {
            after_ = std::max(after_, delay);
        } else if (reached == Reached::kAll) {
            before_ = std::min(before_, delay);
        }
        if (after_ >= before_) {
            // Runs vary, on a loaded machine most: the window starts afresh.
            after_ = Micros(0);
            before_ = full_;
        }
    }
    std::string Trace(int run, Micros delay) const {
        return "seed " + std::to_string(seed_) + ", run " + std::to_string(run) +
               ", killed after " + std::to_string(delay.count()) + " us";
    }

  private:
    const Micros full_;
    const unsigned seed_ = std::random_device{}();
    std::mt19937 random_;
    long drawn_ = 0;
    Micros after_;
    Micros before_;
};

TEST(CrashTest, AKilledWalkAndTheWalkAfterItLoseNothing) {
    KillMoments moments;
    int interrupted = 0;
    const int runs = Runs();
    for (int run = 0; run < runs; ++run) {
        const CrashSetUp setup;
        const auto before = setup.tree.Take("D");
        const Micros delay = moments.Next();
        SCOPED_TRACE(moments.Trace(run, delay));

        const auto killed = testing::KillCliAfter(setup.Args(), delay);
        ASSERT_TRUE(killed.signal == SIGKILL || killed.exit_code == 0);
        const auto after_kill = setup.tree.Take("D");
        ASSERT_EQ(testing::Misplaced(after_kill, setup.placement), "");
        ASSERT_EQ(setup.tree.Take("outside"), testing::Described({"keep"}));
        const Reached reached = Progress(before, after_kill, setup.placement);
        moments.Learn(delay, reached);
        interrupted += reached == Reached::kPart;

        const auto again = testing::RunCliProcess(setup.Args());
        ASSERT_EQ(again.exit_code, 0) << again.out;
        ASSERT_EQ(testing::Misplaced(setup.tree.Take("D"), setup.placement), "");
        ASSERT_EQ(setup.tree.Take("outside"), testing::Described({"keep"}));
    }
    // Kills that all land before or after the walk would prove nothing.
    EXPECT_GT(interrupted, 0) << "no kill landed inside a walk of " << moments.full().count()
                              << " us";
    std::printf("%d of %d kills interrupted a walk (full walk %ld us)\n", interrupted, runs,
                static_cast<long>(moments.full().count()));
}

bool HoldsTemporaryName(const testing::Snapshot& tree) {
    return std::any_of(tree.begin(), tree.end(),
                       [](const auto& entry) { return entry.first.starts_with("karuneo"); });
}

TEST(CrashTest, AKilledWalkIsFinishedByRecover) {
    KillMoments moments;
    int finished = 0;
    const int runs = std::max(1, Runs() / 3);
    for (int run = 0; run < runs; ++run) {
        const CrashSetUp setup;
        const auto before = setup.tree.Take("D");
        const Micros delay = moments.Next();
        SCOPED_TRACE(moments.Trace(run, delay));
        testing::KillCliAfter(setup.Args(), delay);
        const Reached reached = Progress(before, setup.tree.Take("D"), setup.placement);
        moments.Learn(delay, reached);
        const bool cut_off = reached != Reached::kAll;

        const auto recovered = testing::RunCliProcess({"--recover"});
        ASSERT_EQ(recovered.exit_code, 0) << recovered.out;
        const auto after = setup.tree.Take("D");
        ASSERT_EQ(testing::Misplaced(after, setup.placement), "");
        ASSERT_FALSE(HoldsTemporaryName(after));
        ASSERT_EQ(setup.tree.Take("outside"), testing::Described({"keep"}));
        // A kill before the first change leaves nothing to finish.
        ASSERT_TRUE(after == before || testing::AllMovedUp(after, setup.placement))
            << recovered.out;
        finished += cut_off && !recovered.out.empty();
    }
    std::printf("%d of %d kills left a run that --recover finished\n", finished, runs);
}

// A run cut off anywhere, finished, then undone: every entry back where it
// was, whatever the journal managed to say before the kill.
TEST(CrashTest, AKilledWalkFinishedAndUndoneGivesTheTreeBack) {
    KillMoments moments;
    const int runs = std::max(1, Runs() / 3);
    for (int run = 0; run < runs; ++run) {
        const CrashSetUp setup;
        const auto before = setup.tree.Take("D");
        const Micros delay = moments.Next();
        SCOPED_TRACE(moments.Trace(run, delay));
        testing::KillCliAfter(setup.Args(), delay);
        moments.Learn(delay, Progress(before, setup.tree.Take("D"), setup.placement));
        ASSERT_EQ(testing::RunCliProcess({"--recover"}).exit_code, 0);
        if (setup.tree.Take("D") == before) {
            continue;  // killed before its first change: nothing to undo
        }

        const auto undone = testing::RunCliProcess({"--undo", setup.tree.Path("D")});

        ASSERT_EQ(undone.exit_code, 0) << undone.out;
        ASSERT_EQ(setup.tree.Take("D"), before);
    }
}

// How long an undo of a full run takes, so that kills spread over all of it.
Micros FullUndoTime() {
    const CrashSetUp setup;
    testing::RunCliProcess(setup.Args());
    const auto start = std::chrono::steady_clock::now();
    testing::RunCliProcess({"--undo", setup.tree.Path("D")});
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - start);
}

// An undo killed anywhere is finished by the next --recover, as a run is.
TEST(CrashTest, AKilledUndoIsFinishedByRecover) {
    const Micros full = FullUndoTime();
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> moment(0, full.count());
    const int runs = std::max(1, Runs() / 3);
    for (int run = 0; run < runs; ++run) {
        const CrashSetUp setup;
        const auto before = setup.tree.Take("D");
        ASSERT_EQ(testing::RunCliProcess(setup.Args()).exit_code, 0);
        const Micros delay(moment(random));
        SCOPED_TRACE("run " + std::to_string(run) + ", undo killed after " +
                     std::to_string(delay.count()) + " us");
        testing::KillCliAfter({"--undo", setup.tree.Path("D")}, delay);

        const auto recovered = testing::RunCliProcess({"--recover"});
        const auto again = testing::RunCliProcess({"--undo", setup.tree.Path("D")});

        ASSERT_EQ(recovered.exit_code, 0) << recovered.out;
        ASSERT_EQ(setup.tree.Take("D"), before) << recovered.out << again.out;
        ASSERT_EQ(setup.tree.Take("outside"), testing::Described({"keep"}));
    }
}

}  // namespace
}  // namespace karuneo
