// Stopping a walk from outside: at every point between two entries the
// folder ends as after a failed move, nothing lost, its row an error that
// says it was stopped.
#include "engine/walk_control.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/unnest.h"
#include "results/rules/reason_text.h"
#include "results/rules/status_text.h"
#include "tests/support/reason_sink.h"
#include "tests/support/temp_tree.h"
#include "tests/support/walk_harness.h"

namespace karuneo {
namespace {

using testing::FileContents;
using testing::Layout;
using testing::ReasonSink;
using testing::WalkHarness;

// Asks for the stop once `allowed` entries have been asked about.
class StopAfter final : public WalkControl {
  public:
    explicit StopAfter(long long allowed) : allowed_(allowed) {}

    bool StopRequested() const override { return asked_ >= allowed_; }
    void MoveProgress(long long moved, long long total) override {
        progress.emplace_back(moved, total);
        asked_ = moved + 1;
    }

    std::vector<std::pair<long long, long long>> progress;

  private:
    long long allowed_;
    long long asked_ = 0;
};

const std::vector<std::string> kChain = {"A/B/f1", "A/B/f2", "A/B/f3", "A/B/G/g"};

TEST(WalkControl, AStopBetweenAnyTwoEntriesLosesNothingAndGivesTheChainItsNameBack) {
    // With none allowed, the stop comes before the top is renamed.
    for (long long allowed = 0; allowed < 4; ++allowed) {
        SCOPED_TRACE(allowed);
        WalkHarness walk;
        walk.AddToDropped(kChain);
        const auto before = walk.Dropped();
        StopAfter control(allowed);
        ReasonSink sink;
        ProcessDroppedPath(walk.tree().Path("D"), walk.fake(), sink, control);

        ASSERT_EQ(sink.rows, (std::vector<testing::Row>{{"D", std::string(kStatusError)}}));
        EXPECT_NE(sink.reasons.front().find("the work was stopped before"), std::string::npos)
            << sink.reasons.front();
        const auto after = walk.Dropped();
        EXPECT_EQ(FileContents(after), FileContents(before));
        // What had not moved is back under the chain's own name.
        EXPECT_TRUE(after.contains("A")) << sink.reasons.front();
        EXPECT_EQ(walk.Outside(), walk.OutsideAsBuilt());
    }
}

TEST(WalkControl, StopBeforeTheRenameChangesNothing) {
    WalkHarness walk;
    walk.AddToDropped(kChain);
    const auto before = walk.Dropped();
    StopAfter control(0);
    ReasonSink sink;
    ProcessDroppedPath(walk.tree().Path("D"), walk.fake(), sink, control);
    EXPECT_EQ(walk.Dropped(), before);
    EXPECT_NE(sink.reasons.front().find("Nothing was changed"), std::string::npos)
        << sink.reasons.front();
}

TEST(WalkControl, ProgressCountsEveryEntryOfTheDeepestFolderUpToItsTotal) {
    WalkHarness walk;
    walk.AddToDropped(kChain);
    StopAfter control(1000);
    walk.RunControlled(control);
    ASSERT_EQ(walk.rows().size(), 1u);
    EXPECT_EQ(walk.rows().front().second, kStatusDone);
    const std::vector<std::pair<long long, long long>> expected = {
        {0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}};
    EXPECT_EQ(control.progress, expected);
    EXPECT_EQ(Layout(walk.Dropped()), Layout(testing::Described({"f1", "f2", "f3", "G/", "G/g"})));
}

}  // namespace
}  // namespace karuneo
