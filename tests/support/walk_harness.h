#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/file_system.h"
#include "engine/testing/failing_file_system.h"
#include "engine/walk_control.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_tree.h"

namespace karuneo::testing {

// The temporary name a harnessed walk is handed first, so that a test can
// name the chain folder that stays behind under it.
inline constexpr std::string_view kQueuedTempName = "tmpname";

// One walk on real folders: a fresh tree with the dropped folder "D" and,
// beside it, "outside", which no walk may change; a file-system layer
// wrapped in the failing fake; and the rows the walk reports.
class WalkHarness {
  public:
    explicit WalkHarness(std::vector<std::string> outside = {"keep"});
    // Over another layer than the native one.
    WalkHarness(std::unique_ptr<FileSystem> layer, std::vector<std::string> outside);
    WalkHarness(const WalkHarness&) = delete;
    WalkHarness& operator=(const WalkHarness&) = delete;

    const TempTree& tree() const { return tree_; }
    FailingFileSystem& fake() { return fake_; }
    const FailingFileSystem& fake() const { return fake_; }
    const std::vector<Row>& rows() const { return sink_.rows; }

    void AddToDropped(const std::vector<std::string>& entries) const;
    // Hands the walk the layer's own temporary names, as the program gets them.
    void UseLayerTempNames();

    // Walks `relative`, the dropped folder unless told otherwise, through
    // the fake.
    void Run(const std::string& relative = "D");
    // The same on the layer itself, where the fake's moving one entry at a
    // time would change what is tested.
    void RunUnwrapped(const std::string& relative = "D");
    // The same through a layer of the test's own, such as a dry run over the
    // fake.
    void RunThrough(FileSystem& layer, const std::string& relative = "D");
    // The same, asking `control` between entries whether to stop.
    void RunControlled(WalkControl& control, const std::string& relative = "D");
    // Walks a path as given, not one inside the tree.
    void RunOnPath(const std::string& path);

    Snapshot Dropped() const;
    Snapshot Outside() const;
    Snapshot OutsideAsBuilt() const;

  private:
    TempTree tree_;
    std::vector<std::string> outside_;
    std::unique_ptr<FileSystem> layer_;
    FailingFileSystem fake_{*layer_};
    RecordingSink sink_;
};

}  // namespace karuneo::testing
