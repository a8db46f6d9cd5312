// One command over many folders shares the syncs of their journals: each
// batch's plans are synced before any of its folders changes. Whatever cuts
// a batch short, every folder must end as a run of its own would: finished,
// or untouched with no journal left waiting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/journal/journal_file.h"
#include "engine/journal/journaled_walk.h"
#include "engine/journal/recovery.h"
#include "engine/journal/undo.h"
#include "engine/walk_control.h"
#include "results/rules/status_text.h"
#include "tests/support/journal_tree.h"
#include "tests/support/recording_sink.h"

namespace karuneo {
namespace {

using testing::JournalTree;
using testing::Row;
using testing::Snapshot;

const std::vector<std::string> kNested = {"A/B/f", "A/B/g"};

struct Folders {
    explicit Folders(JournalTree& run, int count) {
        for (int i = 1; i <= count; ++i) {
            names.push_back("D" + std::to_string(i));
            run.tree().Add(kNested, names.back());
            paths.push_back(run.tree().Path(names.back()));
        }
        before = run.tree().Take(names.front());
    }
    std::vector<std::string> names;
    std::vector<std::string> paths;
    Snapshot before;
};

// Each file keeps the text it was made with: where it lay.
const Snapshot kFlat = {{"f", "file:A/B/f"}, {"g", "file:A/B/g"}};

// Killed as the second folder's moves begin: the first is done, the second
// cut off half-way, the third planned and synced but never renamed.
TEST(JournaledBatchTest, ABatchCutOffAfterItsPlansWereSyncedIsFinishedOrRetired) {
    JournalTree run;
    const Folders folders(run, 3);
    int moves = 0;
    run.fake().OnCall([&run, &moves](int call, testing::Operation operation) {
        if (operation == testing::Operation::kMoveEntries && ++moves == 4) {
            run.fake().KillAtCall(call);
        }
    });
    testing::RecordingSink rows;
    journal::ProcessJournaledFolders(folders.paths, run.fake(), rows, UninterruptedWalk(),
                                     run.journal_folder());
    EXPECT_NE(run.tree().Take("D2"), folders.before) << "one entry of D2 had moved";
    EXPECT_NE(run.tree().Take("D2"), kFlat);
    run.Crash();

    run.Recover();
    EXPECT_EQ(run.tree().Take("D1"), kFlat);
    EXPECT_EQ(run.tree().Take("D2"), kFlat);
    EXPECT_EQ(run.tree().Take("D3"), folders.before) << "planned, never started";
    EXPECT_TRUE(journal::CutOffJournals(run.journal_folder()).empty());

    for (const std::string& name : {std::string("D1"), std::string("D2")}) {
        testing::RecordingSink undone;
        journal::UndoLastRun(run.tree().Path(name), run.native(), undone, UninterruptedWalk(),
                             run.journal_folder());
        EXPECT_EQ(run.tree().Take(name), folders.before) << name;
    }
}

// Stops once the first folder's entries have all moved.
class StopAfterFirstFolder final : public WalkControl {
  public:
    bool StopRequested() const override { return stop_; }
    void MoveProgress(long long moved, long long total) override { stop_ = moved == total; }

  private:
    bool stop_ = false;
};

TEST(JournaledBatchTest, AStopStartsNoFurtherFolderAndLeavesNoJournalOfThose) {
    JournalTree run;
    const Folders folders(run, 3);
    StopAfterFirstFolder control;
    testing::RecordingSink rows;
    const std::size_t started = journal::ProcessJournaledFolders(folders.paths, run.fake(), rows,
                                                                 control, run.journal_folder());

    EXPECT_EQ(started, 1u);
    EXPECT_EQ(rows.rows, (std::vector<Row>{{"D1", std::string(kStatusDone)}}));
    EXPECT_EQ(run.tree().Take("D1"), kFlat);
    EXPECT_EQ(run.tree().Take("D2"), folders.before);
    EXPECT_EQ(run.tree().Take("D3"), folders.before);
    const auto journals = journal::ListJournals(run.journal_folder());
    ASSERT_EQ(journals.size(), 1u) << "only the run that was started keeps one";
    EXPECT_TRUE(journal::JournalClosed(journals.front()));
}

// A folder dropped twice, or one inside another dropped before it, is
// planned only once the run that claimed it is done: the rows are those of
// one run after the other.
TEST(JournaledBatchTest, AFolderClaimedByARunOfTheBatchWaitsForIt) {
    JournalTree run;
    const Folders folders(run, 2);
    const std::vector<std::string> paths = {folders.paths[0], folders.paths[0],
                                            run.tree().Path("D2/A"), folders.paths[1]};
    testing::RecordingSink rows;
    const std::size_t started = journal::ProcessJournaledFolders(
        paths, run.fake(), rows, UninterruptedWalk(), run.journal_folder());

    EXPECT_EQ(started, paths.size());
    EXPECT_EQ(rows.rows, (std::vector<Row>{{"D1", std::string(kStatusDone)},
                                           {"D1", std::string(kStatusUntouched)},
                                           {"A", std::string(kStatusDone)},
                                           {"D2", std::string(kStatusDone)}}));
    EXPECT_TRUE(journal::CutOffJournals(run.journal_folder()).empty());
    for (const auto& journal : journal::ListJournals(run.journal_folder())) {
        EXPECT_TRUE(journal::JournalClosed(journal)) << journal;
    }
}

}  // namespace
}  // namespace karuneo
