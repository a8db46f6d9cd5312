// A walk stopped dead at each of its calls, as a kill would stop it, and
// then finished from its journal, must end as an uninterrupted walk does.
#include "engine/journal/recovery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/journal/journal_file.h"
#include "engine/journal/journal_runs.h"
#include "results/rules/status_text.h"
#include "tests/support/journal_tree.h"
#include "tests/support/named_cases.h"
#include "tests/support/platform.h"
#include "tests/support/tree_shapes.h"

namespace karuneo {
namespace {

using testing::JournalTree;

using Shape = testing::TreeShape;

struct FullRun {
    testing::Snapshot tree;
    std::string status;
    int calls = 0;
};

FullRun RunToTheEnd(const Shape& shape) {
    JournalTree run;
    run.tree().Add(shape.entries, "D");
    run.Walk();
    return {run.Dropped(), run.rows().at(0).second, run.fake().calls()};
}

class CutOffRunTest : public ::testing::TestWithParam<Shape> {};

TEST_P(CutOffRunTest, FinishedAtEveryCallItEndsAsAFullRun) {
    const Shape& shape = GetParam();
    const FullRun full = RunToTheEnd(shape);
    for (int n = 1; n <= full.calls; ++n) {
        SCOPED_TRACE("killed at call " + std::to_string(n));
        JournalTree run;
        run.tree().Add(shape.entries, "D");
        run.fake().KillAtCall(n);
        const auto before = run.Dropped();
        run.Walk();
        run.Crash();
        const std::size_t rows_before = run.rows().size();
        // Killed before its first change, a run may leave its plan, which
        // the recovery retires.
        const bool changed = run.Dropped() != before;
        if (changed) {
            ASSERT_EQ(journal::CutOffJournals(run.journal_folder()).size(), 1u);
        }

        run.Recover();

        EXPECT_EQ(run.Dropped(), changed ? full.tree : before);
        EXPECT_TRUE(journal::CutOffJournals(run.journal_folder()).empty());
        if (run.rows().size() > rows_before) {
            EXPECT_EQ(run.rows().back().second, full.status) << run.Reasons().back();
            EXPECT_TRUE(run.Reasons().back().starts_with("a run that was cut off was finished"))
                << run.Reasons().back();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, CutOffRunTest, ::testing::ValuesIn(testing::SweepShapes()),
                         testing::CaseName());

TEST(CutOffRunRefusedTest, AnEntryInNeitherPlaceLeavesEverythingAndTheJournal) {
    JournalTree run;
    run.CutOffAfterOneMove();
    const auto before = run.Dropped();
    std::string waiting;
    for (const auto& [path, kind] : before) {
        if (path.find("/B/") != std::string::npos) {
            waiting = path;
        }
    }
    ASSERT_FALSE(waiting.empty());
    ASSERT_TRUE(std::filesystem::remove(run.tree().root() / "D" / testing::PathFromUtf8(waiting)));
    const auto damaged = run.Dropped();

    run.Recover();

    EXPECT_EQ(run.Dropped(), damaged);
    EXPECT_EQ(run.rows().back().second, kStatusError);
    EXPECT_NE(run.Reasons().back().find("is gone"), std::string::npos) << run.Reasons().back();
    EXPECT_EQ(journal::CutOffJournals(run.journal_folder()).size(), 1u);
}

TEST(CutOffRunRefusedTest, AnotherFolderInPlaceOfTheDroppedOneIsNotTouched) {
    JournalTree run;
    run.CutOffAfterOneMove();
    const auto root = run.tree().root();
    std::filesystem::rename(root / "D", root / "D.moved");
    run.tree().Add({"A/B/f2"}, "D");

    run.Recover();

    EXPECT_EQ(run.Dropped(), testing::Described({"A/B/f2"}));
    EXPECT_NE(run.Reasons().back().find("not the one"), std::string::npos);
}

// A journal that cannot be read whole (here one grown past the bound a
// journal may have) is never taken for an empty one: it stays, the folder is
// left as it is, and the row says why.
TEST(CutOffRunRefusedTest, AJournalThatCannotBeReadIsKeptAndNamed) {
    JournalTree run;
    run.CutOffAfterOneMove();
    const auto before = run.Dropped();
    const auto journals = journal::ListJournals(run.journal_folder());
    ASSERT_EQ(journals.size(), 1u);
    std::filesystem::resize_file(testing::PathFromUtf8(journals[0]), journal::kMaxJournalBytes + 1);

    run.Recover();
    run.Undo();

    EXPECT_EQ(run.Dropped(), before);
    EXPECT_EQ(run.rows().at(run.rows().size() - 2).second, kStatusError);
    EXPECT_NE(run.Reasons().at(run.Reasons().size() - 2).find("cannot be read"), std::string::npos);
    EXPECT_EQ(journal::ListJournals(run.journal_folder()), journals);
}

// A cut-off run whose folder was deleted is told of once, then waits
// quietly for --forget.
TEST(CutOffRunRefusedTest, AGoneFolderIsToldOnceAndCanBeForgotten) {
    JournalTree run;
    run.CutOffAfterOneMove();
    std::filesystem::remove_all(run.tree().root() / "D");

    run.Recover();
    const std::size_t rows = run.rows().size();
    run.Recover();

    EXPECT_NE(run.Reasons().back().find("is gone"), std::string::npos) << run.Reasons().back();
    EXPECT_EQ(run.rows().size(), rows) << "told once";
    EXPECT_TRUE(journal::CutOffJournals(run.journal_folder()).empty());
    EXPECT_EQ(journal::ForgetCutOffRuns(run.journal_folder(), run.tree().Path("D"), false), 1);
    EXPECT_EQ(journal::KeptRuns(run.journal_folder()).back().state,
              journal::RunStateShown::kForgotten);
}

}  // namespace
}  // namespace karuneo
