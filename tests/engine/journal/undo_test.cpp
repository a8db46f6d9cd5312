// Undo gives back the tree a run changed, or changes nothing and says why.
#include "engine/journal/undo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "engine/journal/journal_file.h"
#include "engine/journal/left_stopped.h"
#include "engine/walk_control.h"
#include "results/rules/status_text.h"
#include "tests/support/journal_tree.h"
#include "tests/support/named_cases.h"
#include "tests/support/platform.h"

namespace karuneo {
namespace {

namespace fs = std::filesystem;
using testing::JournalTree;
using testing::TakeWithLooks;

const std::vector<std::string> kUndoneChain = {"A/B/f1", "A/B/.h", "A/B/G/g", "A/B/H/", "A/.keep"};

// Chain folders with permissions and times of their own, which an undo
// that recreates them must give back.
void GiveChainALook(JournalTree& run) {
    const fs::path a = run.tree().root() / "D" / "A";
    fs::permissions(a, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    testing::SetModifiedTime(a / "B", fs::file_time_type(std::chrono::hours(24 * 365 * 30)));
    testing::SetModifiedTime(a, fs::file_time_type(std::chrono::hours(24 * 365 * 31)));
}

TEST(UndoTest, GivesBackTheTreeOfBeforeTheRunAndLeavesNewcomers) {
    JournalTree run;
    run.tree().Add({"A/B/f1", "A/B/.h", "A/B/G/g", "A/B/H/"}, "D");
    if (testing::CanCreateLinks()) {
        run.tree().Add({"A/B/l->../f1"}, "D");
    }
    GiveChainALook(run);
    const auto before = TakeWithLooks(run.tree(), "D");
    run.Walk();
    ASSERT_EQ(run.rows().back().second, kStatusDone);
    run.tree().Add({"new"}, "D");

    run.Undo();

    auto after = TakeWithLooks(run.tree(), "D");
    EXPECT_EQ(after.erase("new"), 1u);
    EXPECT_EQ(after, before);
    EXPECT_EQ(run.rows().back().second, kStatusDone);
    EXPECT_EQ(run.Reasons().back(),
              "the last run was undone; 1 entries that came after it stayed: \"new\"");
}

TEST(UndoTest, GivesBackWhatARunThatFailedPartWayMoved) {
    JournalTree run;
    run.tree().Add({"A/B/f1", "A/B/f2", "A/B/f3", "A/.keep"}, "D");
    GiveChainALook(run);
    const auto before = TakeWithLooks(run.tree(), "D");
    run.fake().FailNthCall(testing::Operation::kMoveEntries, 2, Failure(kDeviceIoError));
    run.Walk();
    ASSERT_EQ(run.rows().back().second, kStatusError);

    run.Undo();

    EXPECT_EQ(TakeWithLooks(run.tree(), "D"), before);
    EXPECT_EQ(run.rows().back().second, kStatusDone);
}

TEST(UndoTest, AnUndoneRunIsNotUndoneTwice) {
    JournalTree run;
    run.tree().Add({"A/B/f1"}, "D");
    run.Walk();
    run.Undo();
    run.Undo();
    EXPECT_EQ(run.rows().back().second, kStatusError);
    EXPECT_NE(run.Reasons().back().find("was undone already"), std::string::npos);
}

struct UndoRefusal {
    const char* name;
    std::function<void(JournalTree&)> change;  // after the run, before the undo
    const char* says;
};

fs::path In(JournalTree& run, const std::string& entry) {
    return run.tree().root() / "D" / entry;
}

void RewriteJournal(JournalTree& run, const std::function<void(std::string&)>& edit) {
    const auto paths = journal::ListJournals(run.journal_folder());
    auto text = journal::ReadJournal(paths.back()).value();
    edit(text);
    std::ofstream(paths.back(), std::ios::binary | std::ios::trunc) << text;
}

const UndoRefusal kUndoRefusals[] = {
    {"EntryGone", [](JournalTree& run) { fs::remove(In(run, "f1")); }, "\"f1\" is gone"},
    {"ReplacedByAnotherFile",
     [](JournalTree& run) {
         // Made before the old one goes, so that it cannot get its number.
         run.tree().Write("D/f1.new", "another");
         fs::remove(In(run, "f1"));
         fs::rename(In(run, "f1.new"), In(run, "f1"));
     },
     "\"f1\" is another entry now"},
    {"TurnedIntoALink",
     [](JournalTree& run) {
         fs::remove(In(run, "G/g"));
         fs::remove(In(run, "G"));
         fs::create_directory_symlink("f1", In(run, "G"));
     },
     "\"G\" is of another kind now"},
    {"ChainNameTaken", [](JournalTree& run) { run.tree().Write("D/A", "in the way"); },
     "the name \"A\" is taken"},
    {"DroppedFolderReplaced",
     [](JournalTree& run) {
         fs::rename(In(run, ""), run.tree().root() / "old");
         run.tree().Add({"f1", "f2", "G/g"}, "D");
     },
     "the folder is not the one the run changed"},
    {"TornLastLine",
     [](JournalTree& run) {
         RewriteJournal(run, [](std::string& text) { text.resize(text.size() - 3); });
     },
     "its last run was cut off"},
    {"DamagedLine",
     [](JournalTree& run) {
         RewriteJournal(
             run, [](std::string& text) { text.replace(text.find("\nchain "), 7, "\nxyz "); });
     },
     "line 3 of its journal is damaged"},
};

class UndoRefusedTest : public ::testing::TestWithParam<UndoRefusal> {};

TEST_P(UndoRefusedTest, ChangesNothingAndSaysWhy) {
    const UndoRefusal& refusal = GetParam();
    if (std::string(refusal.name) == "TurnedIntoALink" && !testing::CanCreateLinks()) {
        GTEST_SKIP() << "this system cannot create links";
    }
#ifdef _WIN32
    if (std::string(refusal.name) == "ReplacedByAnotherFile") {
        GTEST_SKIP() << "the Windows listing gives no file IDs, so the journal cannot tell a "
                        "file put in place of a moved one under its name";
    }
#endif
    JournalTree run;
    run.tree().Add({"A/B/f1", "A/B/f2", "A/B/G/g"}, "D");
    run.Walk();
    refusal.change(run);
    const auto before = run.Dropped();

    run.Undo();

    EXPECT_EQ(run.Dropped(), before);
    EXPECT_EQ(run.rows().back().second, kStatusError);
    EXPECT_NE(run.Reasons().back().find(refusal.says), std::string::npos) << run.Reasons().back();
    EXPECT_NE(run.Reasons().back().find("Nothing was changed"), std::string::npos)
        << run.Reasons().back();
}

INSTANTIATE_TEST_SUITE_P(Cases, UndoRefusedTest, ::testing::ValuesIn(kUndoRefusals),
                         testing::CaseName());

TEST(UndoRefusedTest, TheFirstObstacleIsNamedAndTheOthersCounted) {
    JournalTree run;
    run.tree().Add({"A/B/f1", "A/B/f2", "A/B/f3"}, "D");
    run.Walk();
    for (const char* name : {"f1", "f2", "f3"}) {
        fs::remove(In(run, name));
    }
    run.Undo();
    EXPECT_NE(run.Reasons().back().find("is gone (and 2 more)"), std::string::npos)
        << run.Reasons().back();
}

// A state folder that cannot be made (its path is a file) even as root.
TEST(UnjournaledRunTest, GoesAheadAndSaysItCannotBeUndone) {
    JournalTree run;
    run.tree().Write("state", "not a folder");
    run.tree().Add({"A/B/f1"}, "D");
    run.Walk();
    EXPECT_EQ(run.rows().back().second, kStatusDone);
    EXPECT_EQ(run.Dropped().count("f1"), 1u);
    EXPECT_NE(run.Reasons().back().find("it cannot be undone"), std::string::npos)
        << run.Reasons().back();

    run.Undo();
    EXPECT_NE(run.Reasons().back().find("no run on this folder"), std::string::npos);
}

// Stops after two entries and leaves the rest, as closing the window does.
class LeaveAfterTwo final : public WalkControl {
  public:
    bool StopRequested() const override { return moved_ >= 2; }
    void MoveProgress(long long moved, long long /*total*/) override { moved_ = moved; }

  private:
    long long moved_ = 0;
};

// A run left part-way is told at the next start until it is undone or
// another run follows it; a finished one, or a folder gone, is not.
TEST(RunsLeftStoppedTest, NameTheFoldersAnEarlierSessionLeftPartWay) {
    JournalTree run;
    run.tree().Add({"A/B/f1", "A/B/f2", "A/B/f3", "A/B/f4"}, "D");
    LeaveAfterTwo leave;
    run.Walk(leave);
    const auto left = journal::RunsLeftStopped(run.journal_folder(), run.native());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].folder, run.tree().Path("D"));
    EXPECT_GT(left[0].moved, 0);
    EXPECT_LT(left[0].moved, 4);
    EXPECT_EQ(left[0].planned, 4);

    run.Undo();
    EXPECT_EQ(run.rows().back().second, kStatusDone);
    EXPECT_TRUE(journal::RunsLeftStopped(run.journal_folder(), run.native()).empty());

    run.Walk();  // to its end this time
    EXPECT_TRUE(journal::RunsLeftStopped(run.journal_folder(), run.native()).empty());
}

}  // namespace
}  // namespace karuneo
