// Random nested trees, with names chosen to collide: whatever the shape,
// the walk loses nothing, changes no content and leaves the outside alone.
#include "tests/support/random_tree.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <string>
#include <vector>

#include "engine/native_file_system.h"
#include "engine/status_text.h"
#include "engine/testing/failing_file_system.h"
#include "engine/unnest.h"
#include "tests/support/placement.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_tree.h"

namespace karuneo {
namespace {

using namespace karuneo::testing;

constexpr const char* kTemp = "tmpname";

RC_GTEST_PROP(RandomTreeTest, LosesNothingAndTellsTheTruth, ()) {
    const auto entries = RandomTree();
    TempTree tree;
    tree.Add({"keep"}, "outside");
    tree.Add(entries, "D");
    const Snapshot before = tree.Take("D");
    const auto native = MakeNativeFileSystem();
    FailingFileSystem fs(*native);
    fs.QueueTempNames({std::string(kTemp) + ".tmp"});
    RecordingSink sink;

    ProcessDroppedPath(tree.Path("D"), fs, sink);

    const Snapshot after = tree.Take("D");
    const Placement placement = PlacementOf(before, {kTemp});
    const std::string& chain = placement.chain;
    RC_ASSERT(Misplaced(after, placement) == "");
    RC_ASSERT(tree.Take("outside") == Described({"keep"}));
    RC_ASSERT(sink.rows.size() == 1u);
    const std::string status = sink.rows.front().second;
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
