// Whatever the journal's storage refuses (opening, reading, appending,
// syncing, removing a journal), in a recovery, an undo or the window's
// start: the journal stays, nothing of the user's is left without a record,
// and a row says what happened; a later try with a sound disk ends the job.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/journal/journal_file.h"
#include "engine/journal/recovery.h"
#include "engine/journal/storage_fault.h"
#include "results/rules/status_text.h"
#include "tests/support/journal_tree.h"
#include "tests/support/named_cases.h"
#include "tests/support/platform.h"

namespace karuneo {
namespace {

using journal::StorageFault;
using journal::StorageStep;
using testing::JournalTree;

const std::vector<std::string> kEntries = {"A/B/f1", "A/B/f2", "A/B/f3"};

testing::Snapshot Flattened() {
    JournalTree run;
    run.tree().Add(kEntries, "D");
    run.Walk();
    return run.Dropped();
}

enum class Job { kRecover, kWindowStart, kUndo };

struct JobAtFault {
    const char* name;
    Job job;
    StorageStep step;
    // What the job does with the fault: carries on, its journal following
    // as far as the disk lets it, or refuses and changes nothing.
    bool carries_on;
};

const JobAtFault kJobsAtFault[] = {
    {"RecoverOpen", Job::kRecover, StorageStep::kOpen, false},
    {"RecoverRead", Job::kRecover, StorageStep::kRead, false},
    {"RecoverAppend", Job::kRecover, StorageStep::kAppend, true},
    {"RecoverSync", Job::kRecover, StorageStep::kSync, true},
    {"RecoverRemove", Job::kRecover, StorageStep::kRemove, true},
    {"WindowStartOpen", Job::kWindowStart, StorageStep::kOpen, false},
    {"WindowStartRead", Job::kWindowStart, StorageStep::kRead, false},
    {"WindowStartAppend", Job::kWindowStart, StorageStep::kAppend, true},
    {"UndoOpen", Job::kUndo, StorageStep::kOpen, false},
    {"UndoRead", Job::kUndo, StorageStep::kRead, false},
    {"UndoAppend", Job::kUndo, StorageStep::kAppend, false},
    {"UndoSync", Job::kUndo, StorageStep::kSync, false},
    {"UndoRemove", Job::kUndo, StorageStep::kRemove, true},
};

void RunJob(JournalTree& run, Job job) {
    switch (job) {
        case Job::kRecover:
            run.Recover();
            break;
        case Job::kWindowStart:
            run.RecoverEachAlone();
            break;
        case Job::kUndo:
            run.Undo();
            break;
    }
}

class StorageFailureTest : public ::testing::TestWithParam<JobAtFault> {};

TEST_P(StorageFailureTest, TheJournalStaysAndTheRowSaysWhatHappened) {
    const JobAtFault& c = GetParam();
    JournalTree run;
    if (c.job == Job::kUndo) {
        run.tree().Add(kEntries, "D");
        run.Walk();
    } else {
        run.CutOffAfterOneMove();
    }
    const auto before = run.Dropped();
    const auto journals = journal::ListJournals(run.journal_folder());
    const std::size_t rows = run.rows().size();

    {
        const StorageFault fault(c.step, Failure(kDeviceIoError, EIO, {}));
        RunJob(run, c.job);
    }

    const auto done = c.job == Job::kUndo ? testing::Described(kEntries) : Flattened();
    for (const auto& journal : journals) {
        EXPECT_TRUE(std::filesystem::exists(testing::PathFromUtf8(journal))) << journal;
    }
    ASSERT_EQ(run.rows().size(), rows + 1);
    if (c.carries_on) {
        EXPECT_EQ(run.rows().back().second, kStatusDone);
        EXPECT_EQ(run.Dropped(), done);
    } else {
        EXPECT_EQ(run.rows().back().second, kStatusError);
        EXPECT_NE(run.Reasons().back().find("journal"), std::string::npos) << run.Reasons().back();
        EXPECT_EQ(run.Dropped(), before);
    }

    // With the disk sound again, the job ends as it would have.
    run.Recover();
    if (c.job == Job::kUndo && !c.carries_on) {
        run.Undo();
    }
    EXPECT_EQ(run.Dropped(), done);
    EXPECT_TRUE(journal::CutOffJournals(run.journal_folder()).empty());
}

INSTANTIATE_TEST_SUITE_P(Table, StorageFailureTest, ::testing::ValuesIn(kJobsAtFault),
                         testing::CaseName());

}  // namespace
}  // namespace karuneo
