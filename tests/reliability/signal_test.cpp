// Ctrl+C and SIGTERM stop karuneo-cli between two entries: the folder in
// hand gets its row, nothing is lost, the chain is back under its own name
// (after Ctrl+C everything is put back), no further folder is started, and
// the status tells which signal it was.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>

#include "tests/reliability/cli_process.h"
#include "tests/support/temp_tree.h"

namespace karuneo {
namespace {

using testing::FileContents;
using testing::TempTree;

// Large enough that the move is still going when the signal arrives: the
// signal is sent once the chain's top has its temporary name.
constexpr int kFiles = 20000;

bool TopRenamed(const TempTree& tree) {
    for (const auto& entry : std::filesystem::directory_iterator(tree.Path("D"))) {
        if (entry.path().filename() != "A") {
            return true;
        }
    }
    return false;
}

class SignalTest : public ::testing::TestWithParam<int> {};

TEST_P(SignalTest, StopsBetweenEntriesAndStartsNoFurtherFolder) {
    TempTree tree;
    tree.AddEmptyFiles("D/A/B", kFiles);
    tree.Add({"E/A/f"});
    const auto before = tree.Take("D");

    const auto run = testing::SignalCliWhen({tree.Path("D"), tree.Path("E")}, GetParam(),
                                            [&tree] { return TopRenamed(tree); });

    EXPECT_EQ(run.exit_code, 128 + GetParam());
    EXPECT_EQ(run.out, "D\tエラー\n");
    const auto after = tree.Take("D");
    EXPECT_EQ(FileContents(after), FileContents(before));
    EXPECT_TRUE(after.contains("A/B")) << "the chain keeps its own name";
    if (GetParam() == SIGINT) {
        EXPECT_EQ(after, before) << "Ctrl+C puts back what had moved";
    }
    EXPECT_TRUE(tree.Take("E").contains("A/f")) << "the next folder was not started";
}

std::string SignalName(const ::testing::TestParamInfo<int>& signal) {
    return signal.param == SIGINT ? "Sigint" : "Sigterm";
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalTest, ::testing::Values(SIGINT, SIGTERM), SignalName);

bool UndoUnderWay(const TempTree& tree) {
    for (const auto& entry : std::filesystem::directory_iterator(tree.Path("D"))) {
        if (entry.path().filename().string().starts_with("karuneo")) {
            return true;
        }
    }
    return false;
}

class UndoSignalTest : public ::testing::TestWithParam<int> {};

// An undo stops as a run does, and a later --undo finishes it.
TEST_P(UndoSignalTest, StopsBetweenEntriesAndALaterUndoFinishesIt) {
    TempTree tree;
    tree.AddEmptyFiles("D/A/B", kFiles);
    tree.Add({"E/A/f"});
    const auto before = tree.Take("D");
    ASSERT_EQ(testing::RunCliProcess({tree.Path("D"), tree.Path("E")}).exit_code, 0);
    const auto e_flattened = tree.Take("E");

    const auto run = testing::SignalCliWhen({"--undo", tree.Path("D"), tree.Path("E")}, GetParam(),
                                            [&tree] { return UndoUnderWay(tree); });

    EXPECT_EQ(run.exit_code, 128 + GetParam());
    EXPECT_EQ(run.out, "D\tエラー\n");
    EXPECT_EQ(FileContents(tree.Take("D")), FileContents(before)) << "nothing lost";
    EXPECT_EQ(tree.Take("E"), e_flattened) << "the next folder was not started";
    EXPECT_EQ(testing::RunCliProcess({"--undo", tree.Path("D")}).exit_code, 0);
    EXPECT_EQ(tree.Take("D"), before);
}

INSTANTIATE_TEST_SUITE_P(Signals, UndoSignalTest, ::testing::Values(SIGINT, SIGTERM), SignalName);

}  // namespace
}  // namespace karuneo
