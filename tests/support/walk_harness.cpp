#include "tests/support/walk_harness.h"

#include <utility>

#include "engine/native_file_system.h"
#include "engine/unnest.h"

namespace karuneo::testing {

WalkHarness::WalkHarness(std::vector<std::string> outside)
    : WalkHarness(MakeNativeFileSystem(), std::move(outside)) {}

WalkHarness::WalkHarness(std::unique_ptr<FileSystem> layer, std::vector<std::string> outside)
    : outside_(std::move(outside)), layer_(std::move(layer)) {
    tree_.Add(outside_, "outside");
    tree_.Add({}, "D");
    fake_.QueueTempNames({std::string(kQueuedTempName) + ".tmp"});
}

void WalkHarness::AddToDropped(const std::vector<std::string>& entries) const {
    tree_.Add(entries, "D");
}

void WalkHarness::UseLayerTempNames() {
    fake_.QueueTempNames({});
}

void WalkHarness::Run(const std::string& relative) {
    RunOnPath(tree_.Path(relative));
}

void WalkHarness::RunControlled(WalkControl& control, const std::string& relative) {
    ProcessDroppedPath(tree_.Path(relative), fake_, sink_, control);
}

void WalkHarness::RunOnPath(const std::string& path) {
    ProcessDroppedPath(path, fake_, sink_);
}

void WalkHarness::RunUnwrapped(const std::string& relative) {
    RunThrough(*layer_, relative);
}

void WalkHarness::RunThrough(FileSystem& layer, const std::string& relative) {
    ProcessDroppedPath(tree_.Path(relative), layer, sink_);
}

Snapshot WalkHarness::Dropped() const {
    return tree_.Take("D");
}

Snapshot WalkHarness::Outside() const {
    return tree_.Take("outside");
}

Snapshot WalkHarness::OutsideAsBuilt() const {
    return Described(outside_);
}

}  // namespace karuneo::testing
