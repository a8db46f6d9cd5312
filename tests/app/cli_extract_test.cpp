// karuneo-cli --extract among folders and other files, and its usage errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/path_separator.h"
#include "tests/app/cli_run.h"
#include "tests/engine/extract/archive_maker.h"
#include "tests/support/platform.h"
#include "tests/support/temp_tree.h"

namespace karuneo::cli {
namespace {

using testing::TempTree;

CliRun RunTool(const std::vector<std::string>& args) {
    testing::KeepJournalsInTests();
    return RunWith(args);
}

class CliExtract : public ::testing::Test {
  protected:
    void SetUp() override {
        tree_.Add({"D/A/f", "notes.txt"});
        testing::MakeArchive(tree_.Path("arc.zip"), "zip", {{"W/a", 'f', "a", {}, 0644}});
    }
    std::vector<std::string> Paths() const {
        return {tree_.Path("arc.zip"), tree_.Path("D"), tree_.Path("notes.txt")};
    }
    TempTree tree_;
};

TEST_F(CliExtract, ArchivesAreExtractedFoldersUnnestedOtherFilesUntouched) {
    std::vector<std::string> args = Paths();
    args.insert(args.begin(), "-x");
    const CliRun run = RunTool(args);
    EXPECT_EQ(run.out, "arc.zip\t完了\nD\t完了\nnotes.txt\t未処理\n");
    EXPECT_NE(run.err.find("arc.zip: extracted into \"arc\""), std::string::npos) << run.err;
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(tree_.Take("arc").count("a"), 1u);
    EXPECT_EQ(tree_.Take("D").count("f"), 1u);
}

TEST_F(CliExtract, WithoutTheSwitchFilesGiveNoLine) {
    const CliRun run = RunTool(Paths());
    EXPECT_EQ(run.out, "D\t完了\n");
    EXPECT_EQ(tree_.Take("").count("arc"), 0u);
}

TEST_F(CliExtract, TheDryRunTellsTheSameLinesAndMakesNothing) {
    std::vector<std::string> args = Paths();
    args.insert(args.begin(), {"--extract", "-n"});
    const auto before = tree_.Take("");
    const CliRun run = RunTool(args);
    EXPECT_EQ(run.out, "arc.zip\t完了\nD\t完了\nnotes.txt\t未処理\n");
    EXPECT_NE(run.err.find(std::string("create arc") + kPathSeparator + "a\n"), std::string::npos)
        << run.err;
    EXPECT_EQ(tree_.Take(""), before);
}

// Each extraction is listed by its archive, and --undo takes the archive.
TEST_F(CliExtract, HistoryListsTheExtractionAndUndoByItsArchiveRemovesItsFolder) {
    const std::string archive = tree_.Path("arc.zip");
    ASSERT_EQ(RunTool({"-x", archive}).status, kExitOk);
    // Its own line: NUMBER, STATE, TIME, the archive, in this test's folder
    // (spelled as the system spells an absolute path).
    const std::string folder = tree_.root().filename().string();
    const auto listed = [&](const std::string& state) {
        std::istringstream history(RunTool({"--history"}).out);
        for (std::string line; std::getline(history, line);) {
            if (line.find("\t" + state + "\t") != std::string::npos &&
                line.find(folder) != std::string::npos && line.ends_with("arc.zip")) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(listed("extracted"));
    const CliRun undone = RunTool({"--undo", archive});
    EXPECT_EQ(undone.out, "arc.zip\t完了\n") << undone.err;
    EXPECT_EQ(tree_.Take("").count("arc"), 0u);
    EXPECT_TRUE(listed("extraction undone"));
    EXPECT_EQ(RunTool({"--undo", archive}).status, kExitSomeFailed);
}

TEST_F(CliExtract, UsageErrorsTouchNothing) {
    const std::string archive = tree_.Path("arc.zip");
    const auto before = tree_.Take("");
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"-x", "--undo", archive},
                                               {"-x", archive, "--name-encoding"},
                                               {"--name-encoding", "CP932", archive},
                                               {"-x"}}) {
        const CliRun run = RunTool(args);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(tree_.Take(""), before);
}

}  // namespace
}  // namespace karuneo::cli
