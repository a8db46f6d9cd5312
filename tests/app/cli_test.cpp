#include "app/cli/cli.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/native_file_system.h"
#include "tests/support/platform.h"
#include "tests/support/temp_tree.h"

namespace karuneo::cli {
namespace {

using testing::TempTree;

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun RunWith(const std::vector<std::string>& args) {
    const auto fs = MakeNativeFileSystem();
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(args, *fs, out, err);
    return {status, out.str(), err.str()};
}

TEST(CliTest, ReportsEachFolderInOrderAndSucceedsWithoutErrors) {
    TempTree tree;
    tree.Add({"A/B/f"}, "nested");
    tree.Add({"f", "g"}, "flat");
    tree.Add({"file"});
    const CliRun run = RunWith({tree.Path("nested") + "/", tree.Path("file"), tree.Path("flat")});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, "nested\t完了\nflat\t未処理\n");
    EXPECT_EQ(run.err, "");
}

TEST(CliTest, FailsWhenAnyFolderFailsAndShowsOddNamesReadably) {
    if (!testing::CanCreateLinks() || !testing::kNamesAreBytes) {
        GTEST_SKIP() << "needs symbolic links and names that are bytes";
    }
    TempTree tree;
    tree.Add({"A/f"}, "real");
    tree.Add({"link->real"});
    tree.Add({"A/f"}, "bad\xff");
    const CliRun run = RunWith({tree.Path("link"), tree.Path("bad\xff")});
    EXPECT_EQ(run.status, kExitSomeFailed);
    EXPECT_EQ(run.out, "link\tエラー\nbad\xEF\xBF\xBD\t完了\n");
}

TEST(CliTest, RejectsUsageErrorsWithoutTouchingAnything) {
    TempTree tree;
    tree.Add({"A/f"}, "D");
    for (const auto& args :
         std::vector<std::vector<std::string>>{{}, {"--bogus", tree.Path("D")}, {"--"}}) {
        const CliRun run = RunWith(args);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("Usage: karuneo-cli"), std::string::npos);
    }
    EXPECT_EQ(tree.Take("D").count("A/f"), 1u);
}

TEST(CliTest, HelpGoesToStandardOutput) {
    const CliRun run = RunWith({"--help"});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_NE(run.out.find("Usage: karuneo-cli"), std::string::npos);
}

TEST(CliTest, TakesFolderNamesThatLookLikeOptionsAfterDoubleDash) {
    TempTree tree;
    tree.Add({"A/f"}, "-x");
    const CliRun run = RunWith({"--", tree.Path("-x")});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, "-x\t完了\n");
}

TEST(CliTest, DryRunPrintsTheRealRunsLinesAndItsChangesButMakesNone) {
    TempTree tree;
    tree.Add({"A/B/f"}, "nested");
    tree.Add({"f", "g"}, "flat");
    const auto before = tree.Take("");
    for (const char* option : {"-n", "--dry-run"}) {
        const CliRun run = RunWith({option, tree.Path("nested"), tree.Path("flat")});
        EXPECT_EQ(run.status, kExitOk);
        EXPECT_EQ(run.out, "nested\t完了\nflat\t未処理\n");
        EXPECT_NE(run.err.find("\nrename A -> karuneo"), std::string::npos) << run.err;
        EXPECT_EQ(tree.Take(""), before);
    }
    EXPECT_NE(RunWith({"--help"}).out.find("--dry-run"), std::string::npos);
}

}  // namespace
}  // namespace karuneo::cli
