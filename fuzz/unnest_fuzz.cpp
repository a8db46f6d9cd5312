// libFuzzer target: builds a small tree from the input, runs the walk on it
// (with one call failing, if the input says so) and aborts when anything was
// lost, duplicated, changed outside the dropped folder, or misreported.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "fuzz/tree_from_bytes.h"
#include "results/rules/status_text.h"
#include "tests/support/temp_tree.h"
#include "tests/support/walk_harness.h"

namespace karuneo::fuzz {
namespace {

using testing::Snapshot;

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Files and links, counted by what they hold: a walk moves them, never
// changes, copies or removes them.
std::map<std::string, int> Payload(const Snapshot& tree) {
    std::map<std::string, int> payload;
    for (const auto& [path, kind] : tree) {
        if (kind != "dir") {
            ++payload[kind];
        }
    }
    return payload;
}

bool HasVisibleEntry(const Snapshot& tree) {
    for (const auto& [path, kind] : tree) {
        if (path.find('/') == std::string::npos && !path.starts_with(".")) {
            return true;
        }
    }
    return false;
}

void CheckOneRun(const FuzzCase& input) {
    testing::WalkHarness walk({"keep", "B/x"});
    walk.UseLayerTempNames();
    walk.AddToDropped(input.entries);
    const Snapshot before = walk.Dropped();
    walk.fake().FailCall(input.fail_call, Failure(input.fail_error));

    walk.Run();

    const Snapshot after = walk.Dropped();
    Require(Payload(after) == Payload(before), "every file and link is there exactly once");
    Require(walk.Outside() == walk.OutsideAsBuilt(), "outside unchanged");
    const bool looked_up = !(input.fail_call == 1 && input.fail_error == kPathNotFound);
    Require(walk.rows().size() == (looked_up ? 1u : 0u), "one row for a dropped folder");
    Require(
        walk.rows().empty() || walk.rows().front().second != kStatusUntouched || after == before,
        "an untouched folder is unchanged");
    if (!walk.rows().empty()) {
        const std::string& status = walk.rows().front().second;
        Require(status != kStatusDoneEmpty || !HasVisibleEntry(after), "an empty folder is empty");
        Require(status != kStatusDone || HasVisibleEntry(after), "a done folder holds something");
    }
}

}  // namespace
}  // namespace karuneo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    karuneo::fuzz::CheckOneRun(karuneo::fuzz::TreeFromBytes(data, size));
    return 0;
}
