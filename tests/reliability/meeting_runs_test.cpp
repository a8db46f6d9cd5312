// Two runs of this program that meet in one tree: the later one never trips
// the earlier, and none reports 完了 while a folder of its chain is left
// under a temporary name.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <future>
#include <string>
#include <vector>

#include "engine/native_file_system.h"
#include "engine/unnest.h"
#include "results/rules/reason_text.h"
#include "results/rules/status_text.h"
#include "tests/reliability/cli_process.h"
#include "tests/support/reason_sink.h"
#include "tests/support/temp_tree.h"

namespace karuneo {
namespace {

using testing::FileContents;
using testing::ReasonSink;
using testing::TempTree;

// Holds the lock another run would hold on a folder.
class HeldByAnotherRun {
  public:
    explicit HeldByAnotherRun(const std::string& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        EXPECT_EQ(::flock(fd_, LOCK_EX | LOCK_NB), 0);
    }
    ~HeldByAnotherRun() { ::close(fd_); }
    HeldByAnotherRun(const HeldByAnotherRun&) = delete;
    HeldByAnotherRun& operator=(const HeldByAnotherRun&) = delete;

  private:
    int fd_;
};

TEST(MeetingRuns, AFolderAnotherRunHoldsIsRefusedAndLeftAsItWas) {
    for (const char* held : {"D", "D/A", "D/A/B"}) {
        SCOPED_TRACE(held);
        TempTree tree;
        tree.Add({"A/B/f1", "A/B/G/g"}, "D");
        const auto before = tree.Take("D");
        const HeldByAnotherRun other(tree.Path(held));
        const auto fs = MakeNativeFileSystem();
        ReasonSink sink;
        ProcessDroppedPath(tree.Path("D"), *fs, sink);
        EXPECT_EQ(sink.rows, (std::vector<testing::Row>{{"D", std::string(kStatusError)}}));
        ASSERT_EQ(sink.reasons.size(), 1u);
        EXPECT_NE(sink.reasons[0].find("another run is working in this folder"), std::string::npos)
            << sink.reasons[0];
        EXPECT_EQ(tree.Take("D"), before);
    }
}

bool HoldsTemporaryName(const testing::Snapshot& tree) {
    for (const auto& [path, what] : tree) {
        if (path.starts_with("karuneo")) {
            return true;
        }
    }
    return false;
}

// As a user would start them: "karuneo-cli D & karuneo-cli D/A".
TEST(MeetingRuns, RunsOnAFolderAndOnItsChainAtOnceLoseNothingAndTellTheTruth) {
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        TempTree tree;
        tree.AddEmptyFiles("D/A/B/C", 300);
        const auto before = FileContents(tree.Take("D"));
        auto outer = std::async(std::launch::async,
                                [&] { return testing::RunCliProcess({tree.Path("D")}); });
        const auto inner = testing::RunCliProcess({tree.Path("D/A")});
        const auto first = outer.get();
        const auto after = tree.Take("D");
        EXPECT_EQ(FileContents(after), before);
        if (HoldsTemporaryName(after)) {
            EXPECT_NE(first.out, "D\t完了\n") << "完了 with a folder left under a temporary name";
            EXPECT_NE(first.out, "D\t完了<フォルダは空>\n");
        }
        (void)inner;
    }
}

}  // namespace
}  // namespace karuneo
