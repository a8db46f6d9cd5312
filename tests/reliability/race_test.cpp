// Another process acting on the tree while the walk runs. The failing fake's
// hook lets each action land before every single call of the walk in turn;
// one threaded case races for real. Nothing may be overwritten, nothing
// outside the dropped folder touched, and the row must tell what happened.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "engine/native_file_system.h"
#include "engine/testing/failing_file_system.h"
#include "engine/unnest.h"
#include "results/rules/status_text.h"
#include "tests/support/placement.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_tree.h"
#include "tests/support/walk_harness.h"

namespace karuneo {
namespace {

namespace fs = std::filesystem;
using testing::Placement;
using testing::RecordingSink;
using testing::Snapshot;
using testing::TempTree;

const std::string kTemp(testing::kQueuedTempName);
const std::vector<std::string> kEntries{"A/M/B/f1", "A/M/B/f2", "A/M/B/f3", "A/M/B/G/g"};
const std::vector<std::string> kOutside{"keep", "B/x", "B/f1"};

// Creates a file only where none is, as a careful program would.
bool CreateNew(const std::string& path, const std::string& content) {
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written =
        ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    ::close(fd);
    return written;
}

// One dropped folder D holding the chain A/M/B, an outside folder that a
// followed link would lead into, and a place for what a racer moves aside.
class RaceRun {
  public:
    RaceRun() {
        walk_.AddToDropped(kEntries);
        tree().Add({}, "aside");
    }

    const TempTree& tree() const { return walk_.tree(); }
    int calls() const { return walk_.fake().calls(); }

    // The chain's top folder under whichever name it has at the moment.
    std::string Top() const {
        const fs::path temp = tree().root() / "D" / kTemp;
        return fs::is_directory(fs::symlink_status(temp)) ? kTemp : "A";
    }

    // Moves D/<top>[/<below>] aside and leaves a link to the outside folder.
    void SwapForLink(const std::string& below) const {
        fs::path folder = tree().root() / "D" / Top();
        fs::path aside = tree().root() / "aside" / "away";
        if (!below.empty()) {
            fs::create_directories(aside);
            folder /= below;
            aside /= below;
        }
        std::error_code error;
        fs::rename(folder, aside, error);
        if (!error) {
            fs::create_symlink(tree().root() / "outside", folder);
        }
    }

    // Runs the walk with `act` done once, just before call `at` of the walk.
    void RunWithActionAt(int at, const std::function<void()>& act) {
        walk_.fake().OnCall([at, &act](int call, testing::Operation) {
            if (call == at) {
                act();
            }
        });
        walk_.Run();
    }

    void ExpectSafeAndTruthful(const Placement& placement) const {
        const Snapshot all = Everything();
        EXPECT_EQ(testing::Misplaced(all, placement), "");
        EXPECT_EQ(walk_.Outside(), testing::Described(kOutside));
        ASSERT_EQ(walk_.rows().size(), 1u);
        const std::string& status = walk_.rows().front().second;
        // What a racer moved aside is no longer the walk's to move.
        if (status == kStatusDone || status == kStatusDoneEmpty) {
            EXPECT_TRUE(testing::AllMovedUp(walk_.Dropped(), placement)) << status;
        }
        if (status == kStatusUntouched) {
            EXPECT_EQ(testing::Misplaced(all, {kEntries, "", {"away"}, placement.may_vanish}), "");
        }
    }

  private:
    // D, with what was moved aside counted as if it stood at D/away.
    Snapshot Everything() const {
        Snapshot all = walk_.Dropped();
        for (const auto& [path, kind] : tree().Take("aside")) {
            all[path] = kind;
        }
        return all;
    }

    testing::WalkHarness walk_{kOutside};
};

const Placement kPlacement{kEntries, "A/M/B/", {kTemp, "away"}, false};

// Runs `body` once per call of an undisturbed walk, each on a fresh tree.
void SweepCalls(const std::function<void(RaceRun&, int)>& body) {
    RaceRun clean;
    clean.RunWithActionAt(0, [] {});
    ASSERT_GT(clean.calls(), 5);
    for (int at = 1; at <= clean.calls(); ++at) {
        SCOPED_TRACE("action before call " + std::to_string(at));
        RaceRun run;
        body(run, at);
    }
}

TEST(RaceTest, NamesThatAppearInTheDroppedFolderAreNeverReplaced) {
    SweepCalls([](RaceRun& run, int at) {
        std::vector<std::string> created;
        run.RunWithActionAt(at, [&] {
            for (const char* name : {"f1", "f2", "f3", "G"}) {
                if (CreateNew(run.tree().Path("D/") + name, std::string("theirs:") + name)) {
                    created.push_back(name);
                }
            }
        });
        run.ExpectSafeAndTruthful(kPlacement);
        const Snapshot after = run.tree().Take("D");
        for (const auto& name : created) {
            EXPECT_EQ(after.at(name), "file:theirs:" + name);
        }
    });
}

TEST(RaceTest, AFolderSwappedForALinkNeverLeadsOutside) {
    for (const std::string below : {"", "M"}) {
        SCOPED_TRACE("swapped: the top folder" + (below.empty() ? "" : "/" + below));
        SweepCalls([&below](RaceRun& run, int at) {
            run.RunWithActionAt(at, [&] { run.SwapForLink(below); });
            run.ExpectSafeAndTruthful(kPlacement);
        });
    }
}

TEST(RaceTest, TheDeepestFolderVanishingLosesNothingElse) {
    SweepCalls([](RaceRun& run, int at) {
        run.RunWithActionAt(at, [&] {
            std::error_code ignored;
            fs::remove_all(run.tree().root() / "D" / run.Top() / "M" / "B", ignored);
        });
        Placement placement = kPlacement;
        placement.may_vanish = true;
        run.ExpectSafeAndTruthful(placement);
    });
}

// The real thing: once the walk has renamed the chain, a thread creates the
// names it is moving. Each name is either the walk's file moved up, or the
// thread's file with the walk's still in the chain.
TEST(RaceTest, ARacingThreadNeverHasItsFilesReplaced) {
    constexpr int kMany = 2'000;
    TempTree tree;
    tree.AddEmptyFiles("E/A/B", kMany);
    std::vector<char> created(kMany, 0);
    std::atomic<bool> walked{false};
    std::thread racer([&] {
        while (fs::exists(tree.root() / "E" / "A") && !walked) {
        }
        for (int i = kMany - 1; i >= 0; --i) {
            created[i] = CreateNew(tree.Path("E/f" + std::to_string(i)), "theirs");
        }
    });
    const auto native = MakeNativeFileSystem();
    RecordingSink sink;
    ProcessDroppedPath(tree.Path("E"), *native, sink);
    walked = true;
    racer.join();

    const Snapshot after = tree.Take("E");
    int theirs = 0;
    for (int i = 0; i < kMany; ++i) {
        const std::string name = "f" + std::to_string(i);
        theirs += created[i];
        ASSERT_EQ(after.count(name), 1u) << name;
        EXPECT_EQ(after.at(name), created[i] ? "file:theirs" : "file:") << name;
        EXPECT_EQ(after.count("A/B/" + name), created[i] ? 1u : 0u) << name;
    }
    ASSERT_EQ(sink.rows.size(), 1u);
    EXPECT_EQ(sink.rows.front().second, theirs > 0 ? kStatusError : kStatusDone);
}

}  // namespace
}  // namespace karuneo
