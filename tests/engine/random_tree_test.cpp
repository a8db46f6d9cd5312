// Random nested trees, with names chosen to collide: whatever the shape,
// the walk loses nothing, changes no content and leaves the outside alone.
#include "tests/support/random_tree.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <string>
#include <vector>

#include "results/rules/status_text.h"
#include "tests/support/placement.h"
#include "tests/support/temp_tree.h"
#include "tests/support/walk_harness.h"

namespace karuneo {
namespace {

using namespace karuneo::testing;

RC_GTEST_PROP(RandomTreeTest, LosesNothingAndTellsTheTruth, ()) {
    const auto entries = RandomTree();
    WalkHarness walk;
    walk.AddToDropped(entries);
    const Snapshot before = walk.Dropped();

    walk.Run();

    const Snapshot after = walk.Dropped();
    const Placement placement = PlacementOf(before, {std::string(kQueuedTempName)});
    const std::string& chain = placement.chain;
    RC_ASSERT(Misplaced(after, placement) == "");
    RC_ASSERT(walk.Outside() == walk.OutsideAsBuilt());
    RC_ASSERT(walk.rows().size() == 1u);
    const std::string status = walk.rows().front().second;
    if (chain.empty()) {
        RC_ASSERT(status == kStatusUntouched);
        RC_ASSERT(after == before);
    } else if (status == kStatusError) {
        // The one failure a tree can cause: an entry that is already there.
        RC_ASSERT(before.count(".h") == 1u && before.count(chain + ".h") == 1u);
    } else {
        RC_ASSERT(AllMovedUp(after, placement));
    }
}

}  // namespace
}  // namespace karuneo
