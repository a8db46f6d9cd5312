// What karuneo-cli makes of input a user should not give it: each case gets
// the rows and exit status the usage text promises, changes nothing it must
// not, and ends without a crash.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "engine/native_file_system.h"
#include "engine/testing/failing_file_system.h"
#include "tests/reliability/cli_process.h"
#include "tests/reliability/deep_folder.h"
#include "tests/support/named_cases.h"
#include "tests/support/temp_tree.h"

namespace karuneo {
namespace {

using testing::DeepFolder;
using testing::Described;
using testing::FailingFileSystem;
using testing::RunCliProcess;
using testing::RunCliProcessWritingTo;
using testing::TempTree;

constexpr const char* kError = "\tエラー\n";

class BadInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tree_.Add({"real/A/f", "file", "link->real", "D/A/B/f1", "D/A/B/f2", "D/A/B/f3"});
        before_ = tree_.Take("");
    }

    // Everything in the tree still where it was, with its content.
    void ExpectUnchanged() const { EXPECT_EQ(tree_.Take(""), before_); }

    TempTree tree_;
    testing::Snapshot before_;
};

TEST_F(BadInputTest, PathsThatAreNoFolderGetNoRow) {
    // A link that leads to itself cannot be resolved, with a trailing slash too.
    std::filesystem::create_symlink("loop", tree_.root() / "loop");
    before_ = tree_.Take("");
    for (const std::string& path : {tree_.Path("missing"), tree_.Path("file"), std::string(),
                                    tree_.Path("loop"), tree_.Path("loop") + "/"}) {
        SCOPED_TRACE("'" + path + "'");
        const auto run = RunCliProcess({path});
        EXPECT_EQ(run.exit_code, cli::kExitOk);
        EXPECT_EQ(run.out, "");
    }
    ExpectUnchanged();
}

TEST_F(BadInputTest, ALinkToAFolderIsRefusedAndItsTargetLeftAlone) {
    const auto run = RunCliProcess({tree_.Path("link")});
    EXPECT_EQ(run.exit_code, cli::kExitSomeFailed);
    EXPECT_EQ(run.out, std::string("link") + kError);
    ExpectUnchanged();
}

TEST_F(BadInputTest, ABadPathAmongGoodOnesSpoilsOnlyItsOwnRow) {
    const auto run = RunCliProcess({tree_.Path("missing"), tree_.Path("link"), tree_.Path("D")});
    EXPECT_EQ(run.exit_code, cli::kExitSomeFailed);
    EXPECT_EQ(run.out, std::string("link") + kError + "D\t完了\n");
    EXPECT_EQ(testing::Layout(tree_.Take("D")), testing::Layout(Described({"f1", "f2", "f3"})));
}

// Longer than PATH_MAX: the kernel refuses it before the engine can tell
// whether it names a folder, so it gets an error row and nothing changes.
TEST_F(BadInputTest, APathOfFiveThousandCharactersIsAnErrorAndChangesNothing) {
    const DeepFolder deep(tree_.Path("D"));
    const std::string path = deep.Path();
    ASSERT_GE(path.size(), 5'000u);
    ASSERT_TRUE(deep.Intact());
    for (const std::string& dropped : {path, path + "/missing"}) {
        const auto run = RunCliProcess({dropped});
        EXPECT_EQ(run.exit_code, cli::kExitSomeFailed);
        EXPECT_EQ(run.out, dropped.substr(dropped.rfind('/') + 1) + kError);
    }
    EXPECT_TRUE(deep.Intact());
}

// Root reads every folder whatever its mode, so there the fake stands in.
TEST_F(BadInputTest, AFolderThatCannotBeReadIsAnErrorRow) {
    const std::string middle = tree_.Path("D/A");
    ASSERT_EQ(::chmod(middle.c_str(), 0), 0);
    DIR* probe = ::opendir(middle.c_str());
    const bool readable = probe != nullptr;
    if (probe != nullptr) {
        ::closedir(probe);
    }
    const auto run = RunCliProcess({tree_.Path("D")});
    ::chmod(middle.c_str(), 0755);
    if (readable) {
        GTEST_SKIP() << "running as root: a folder of mode 0 is still readable; "
                        "FailingCliTest covers the same through the fake";
    }
    EXPECT_EQ(run.exit_code, cli::kExitSomeFailed);
    EXPECT_EQ(run.out, std::string("D") + kError);
    ExpectUnchanged();
}

class FailingCliTest : public BadInputTest {
  protected:
    int Run(const std::string& relative) {
        const std::vector<std::string> args{tree_.Path(relative)};
        return cli::RunCli(args, fake_, out_, err_);
    }

    std::unique_ptr<FileSystem> native_ = MakeNativeFileSystem();
    FailingFileSystem fake_{*native_};
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(FailingCliTest, AListingRefusedBelowTheTopIsAnErrorRowAndChangesNothing) {
    fake_.FailNthCall(testing::Operation::kListEntries, 2, Failure(kPermissionDenied));
    EXPECT_EQ(Run("D"), cli::kExitSomeFailed);
    EXPECT_EQ(out_.str(), std::string("D") + kError);
    ExpectUnchanged();
}

TEST_F(FailingCliTest, AMoveFailingHalfWayIsAnErrorRowAndLosesNothing) {
    fake_.FailNthCall(testing::Operation::kMoveEntries, 2, Failure(kDiskFull));
    EXPECT_EQ(Run("D"), cli::kExitSomeFailed);
    EXPECT_EQ(out_.str(), std::string("D") + kError);
    const auto after = tree_.Take("D");
    EXPECT_EQ(testing::FileContents(after),
              (std::vector<std::string>{"D/A/B/f1", "D/A/B/f2", "D/A/B/f3"}))
        << "nothing lost";
    EXPECT_EQ(after.size(), 5u) << "one file moved up, two left in D/A/B";
    // Which file the disk refused depends on the order of the listing.
    EXPECT_TRUE(err_.str().starts_with("karuneo-cli: D: could not move \"A/B/f")) << err_.str();
    EXPECT_TRUE(
        err_.str().ends_with("\": the disk is full. Nothing was overwritten or lost; "
                             "what was not moved is in \"A\".\n"))
        << err_.str();
}

// A report that cannot be written fails the run, and no folder is changed
// after the tool knows it: with output closed, none at all.
struct Output {
    const char* name;
    const char* path;  // none: closed
    std::vector<std::string> d_after;
};

const Output kOutputs[] = {
    {"Closed", nullptr, {"A/B/f1", "A/B/f2", "A/B/f3"}},
    {"DiskFull", "/dev/full", {"f1", "f2", "f3"}},
};

class UnwritableReportTest : public BadInputTest, public ::testing::WithParamInterface<Output> {};

TEST_P(UnwritableReportTest, AReportThatCannotBeWrittenFailsAndStopsTheRun) {
    tree_.Add({"A/B/f"}, "E");
    const auto run = RunCliProcessWritingTo({tree_.Path("D"), tree_.Path("E")}, GetParam().path);
    EXPECT_EQ(run.exit_code, cli::kExitSomeFailed);
    EXPECT_EQ(testing::Layout(tree_.Take("D")), testing::Layout(Described(GetParam().d_after)));
    EXPECT_EQ(tree_.Take("E").count("A/B/f"), 1u) << "E must stay untouched";
}

INSTANTIATE_TEST_SUITE_P(Outputs, UnwritableReportTest, ::testing::ValuesIn(kOutputs),
                         testing::CaseName());

}  // namespace
}  // namespace karuneo
