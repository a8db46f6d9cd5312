// Random trees, some runs failing part-way: an undo after the run gives back
// the tree of before it, modes and times of folders included.
// KARUNEO_UNDO_TREES sets the number of trees (1 000 by default).
#include <gtest/gtest.h>
#include <rapidcheck.h>

#include <cstdlib>
#include <sstream>

#include "results/rules/status_text.h"
#include "tests/support/journal_tree.h"
#include "tests/support/random_tree.h"

namespace karuneo {
namespace {

using testing::JournalTree;
using testing::TakeWithLooks;

void CheckUndoGivesBackTheTree() {
    const auto entries = testing::RandomTree();
    const int failing_move = *rc::gen::inRange(0, 4);  // 0: no move fails
    JournalTree run;
    run.tree().Add(entries, "D");
    const auto before = TakeWithLooks(run.tree(), "D");
    if (failing_move > 0) {
        run.fake().FailNthCall(testing::Operation::kMoveEntries, failing_move,
                               Failure(kDeviceIoError));
    }
    run.Walk();
    RC_ASSERT(run.rows().size() == 1u);
    const bool changed = TakeWithLooks(run.tree(), "D") != before;

    run.Undo();

    RC_ASSERT(TakeWithLooks(run.tree(), "D") == before);
    if (changed) {
        RC_ASSERT(run.rows().back().second == std::string(kStatusDone));
    } else if (run.rows().size() == 2u) {
        // Nothing to undo: said so, never 完了.
        RC_ASSERT(run.rows().back().second == std::string(kStatusError));
    }
}

int TreeCount() {
    const char* count = std::getenv("KARUNEO_UNDO_TREES");
    return count != nullptr ? std::atoi(count) : 1'000;
}

TEST(UndoPropertyTest, AnUndoneRunLeavesTheTreeAsItWas) {
    auto params = rc::detail::configuration().testParams;
    params.maxSuccess = TreeCount();
    rc::detail::TestMetadata metadata;
    metadata.id = "UndoPropertyTest";
    const auto result = rc::detail::checkTestable(&CheckUndoGivesBackTheTree, metadata, params);
    if (!result.is<rc::detail::SuccessResult>()) {
        std::ostringstream message;
        rc::detail::printResultMessage(result, message);
        FAIL() << message.str();
    }
}

}  // namespace
}  // namespace karuneo
