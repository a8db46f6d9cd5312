// Fails each file-system call of a walk in turn, for several tree shapes and
// error numbers, and checks after every run that nothing was lost or changed
// and that the one row tells what happened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/rules/status_text.h"
#include "tests/support/named_cases.h"
#include "tests/support/placement.h"
#include "tests/support/temp_tree.h"
#include "tests/support/tree_shapes.h"
#include "tests/support/walk_harness.h"

namespace karuneo {
namespace {

using testing::AllMovedUp;
using testing::Described;
using testing::kQueuedTempName;
using testing::Misplaced;
using testing::PlacementOf;
using testing::Snapshot;
using testing::WalkHarness;

using Shape = testing::TreeShape;

struct Outcome {
    Snapshot tree;
    Snapshot outside;
    std::vector<testing::Row> rows;
    bool failed = false;
    int calls = 0;
};

Outcome Walk(const Shape& shape, int fail_at, ErrorNumber error) {
    WalkHarness walk;
    walk.AddToDropped(shape.entries);
    walk.fake().FailCall(fail_at, Failure(error));
    walk.Run();
    return {walk.Dropped(), walk.Outside(), walk.rows(), walk.fake().failed(), walk.fake().calls()};
}

void ExpectTruthfulRow(const Outcome& run, const Snapshot& before) {
    ASSERT_EQ(run.rows.size(), 1u);
    const auto& status = run.rows.front().second;
    if (status == kStatusUntouched) {
        EXPECT_EQ(run.tree, before);
    } else if (status == kStatusDone) {
        EXPECT_TRUE(AllMovedUp(run.tree, PlacementOf(before)));
    } else if (status == kStatusDoneEmpty) {
        for (const auto& [path, kind] : run.tree) {
            EXPECT_TRUE(path.starts_with(".")) << path;
        }
    } else {
        EXPECT_EQ(status, kStatusError);
        EXPECT_TRUE(run.failed) << "an error row without a failure";
    }
}

class FaultSweepShapeTest : public ::testing::TestWithParam<Shape> {};

TEST_P(FaultSweepShapeTest, EveryFailingCallLosesNothingAndIsReported) {
    const Shape& shape = GetParam();
    const Outcome clean = Walk(shape, 0, kNoError);
    const Snapshot before = Described(shape.entries);
    ASSERT_FALSE(clean.failed);
    for (const ErrorNumber error : {kDeviceIoError, kPathNotFound, kFileNotFound}) {
        for (int n = 1; n <= clean.calls; ++n) {
            SCOPED_TRACE(shape.entries.front() + ", call " + std::to_string(n) + " fails with " +
                         std::to_string(error));
            const Outcome run = Walk(shape, n, error);
            EXPECT_EQ(Misplaced(run.tree, PlacementOf(before, {std::string(kQueuedTempName)})), "");
            EXPECT_EQ(run.outside, Described({"keep"}));
            if (n == 1 && error == kPathNotFound) {
                // The dropped folder's own lookup: taken for a plain file.
                EXPECT_TRUE(run.rows.empty());
                EXPECT_EQ(run.tree, before);
                continue;
            }
            ExpectTruthfulRow(run, before);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, FaultSweepShapeTest, ::testing::ValuesIn(testing::SweepShapes()),
                         testing::CaseName());

TEST(FaultSweepTest, AFailureAfterTheRenameGivesTheChainItsNameBack) {
    const Shape shape{"Chain", {"A/B/f"}};
    const Outcome clean = Walk(shape, 0, kNoError);
    for (int n = 4; n <= clean.calls; ++n) {  // calls after the rename
        SCOPED_TRACE(n);
        const Outcome run = Walk(shape, n, kDeviceIoError);
        for (const auto& [path, kind] : run.tree) {
            EXPECT_FALSE(path.starts_with(kQueuedTempName)) << path;
        }
    }
}

}  // namespace
}  // namespace karuneo
