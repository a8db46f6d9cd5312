// Random nested trees, with names chosen to collide: whatever the shape,
// the walk loses nothing, changes no content and leaves the outside alone.
#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <map>
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

// Few names, so that moved entries meet the top folder's name and hidden
// entries of the dropped folder.
rc::Gen<std::string> Name() {
    return rc::gen::element<std::string>("A", "x", ".h");
}

// Entries for one folder: a file, an empty folder or a folder holding a file.
std::vector<std::string> Contents(const std::string& prefix, int count) {
    std::map<std::string, std::string> chosen;
    for (int i = 0; i < count; ++i) {
        const std::string name = *Name();
        const int kind = *rc::gen::inRange(0, 3);
        chosen[name] = prefix + name + (kind == 0 ? "" : kind == 1 ? "/" : "/in");
    }
    std::vector<std::string> entries;
    for (const auto& [name, entry] : chosen) {
        entries.push_back(entry);
    }
    return entries;
}

std::vector<std::string> RandomTree() {
    std::vector<std::string> entries;
    std::string prefix;
    const int depth = *rc::gen::inRange(0, 4);
    for (int level = 0; level < depth; ++level) {
        if (*rc::gen::inRange(0, 2) == 0) {
            // In the dropped folder itself this may clash with a moved entry.
            entries.push_back(prefix + (level == 0 ? ".h" : ".hidden"));
        }
        prefix += *rc::gen::element<std::string>("A", "B") + "/";
    }
    const auto deepest = Contents(prefix, *rc::gen::inRange(0, 5));
    entries.insert(entries.end(), deepest.begin(), deepest.end());
    if (deepest.empty() && !prefix.empty()) {
        entries.push_back(prefix);
    }
    return entries;
}

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
