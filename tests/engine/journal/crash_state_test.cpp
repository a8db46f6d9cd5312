// Known to fail, until the engine learns better: a journal whose last line
// is torn gets the finishing's lines appended to the torn bytes, and then
// reads as damaged; and an undo killed between making the chain's new top
// and recording its identity leaves that empty folder behind.
//
// The states a crash can leave on the disk, checked the way crash-consistency
// checkers check a file system: a run, an undo or a put-back is stopped dead
// at each of its calls, its journal is set to each state the disk may hold
// at that moment, and from any of them finishing the run and undoing it must
// give back the tree exactly as it was; or the finishing changes nothing and
// keeps the journal for another try.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/recovery.h"
#include "engine/walk_control.h"
#include "results/rules/status_text.h"
#include "tests/support/journal_tree.h"
#include "tests/support/named_cases.h"
#include "tests/support/temp_tree.h"
#include "tests/support/tree_shapes.h"
#include "tests/support/walk_harness.h"

namespace karuneo {
namespace {

using testing::JournalTree;
using testing::Snapshot;
using testing::TakeWithLooks;
using Shape = testing::TreeShape;

// Every run of a shape is handed the same temporary name, so that the steps
// one run wrote fit another run of the same shape.
const std::string kQueued = std::string(testing::kQueuedTempName) + ".tmp";
const std::string kTemp(testing::kQueuedTempName);

// What the disk may hold of the journal of a run killed at a call.
enum class JournalState {
    kAsLeft,  // what the killed run wrote
    // Only the plan and its temporary names: the steps are not synced, and
    // the disk may keep the renames while losing every line that told of them.
    kSynced,
    kTorn,  // as left, with the last line cut short by the kill
    // The steps of the whole run, with the close line lost: the disk may keep
    // the journal's later lines while losing renames made before them.
    kStepsAhead,
};

constexpr JournalState kStates[] = {JournalState::kAsLeft, JournalState::kSynced,
                                    JournalState::kTorn, JournalState::kStepsAhead};

std::string_view Named(JournalState state) {
    switch (state) {
        case JournalState::kAsLeft:
            return "as left";
        case JournalState::kSynced:
            return "synced lines only";
        case JournalState::kTorn:
            return "last line torn";
        case JournalState::kStepsAhead:
            return "steps ahead of the disk";
    }
    return "?";
}

std::string JournalText(const std::string& path) {
    const auto text = journal::ReadJournal(path);
    EXPECT_TRUE(text.ok()) << path;
    return text.value();
}

void WriteJournal(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// The plan and the temporary-name lines after it: all of a journal that is
// synced before the run changes anything. npos without a whole plan.
std::size_t SyncedLength(const std::string& text) {
    const std::string planned = "\n" + std::string(journal::kPlannedLine);
    const auto at = text.find(planned);
    if (at == std::string::npos) {
        return std::string::npos;
    }
    std::size_t end = at + planned.size();
    while (text.compare(end, 5, "temp ") == 0) {
        const auto newline = text.find('\n', end);
        if (newline == std::string::npos) {
            break;
        }
        end = newline + 1;
    }
    return end;
}

// The journal a run writes first: its own, before any undo's.
std::string RunJournal(const JournalTree& run) {
    const auto journals = journal::ListJournals(run.journal_folder());
    return journals.empty() ? std::string() : journals.front();
}

// The steps an uninterrupted run of the shape writes after its synced lines,
// its close line left out.
std::string WholeRunSteps(const Shape& shape) {
    JournalTree run;
    run.tree().Add(shape.entries, "D");
    run.fake().QueueTempNames({kQueued});
    run.Walk();
    const std::string path = RunJournal(run);
    if (path.empty()) {
        return {};
    }
    std::string text = JournalText(path);
    EXPECT_TRUE(text.ends_with(journal::kCloseLine)) << text;
    text.resize(text.size() - journal::kCloseLine.size());
    return text.substr(SyncedLength(text));
}

int CallsOfARun(const Shape& shape) {
    JournalTree run;
    run.tree().Add(shape.entries, "D");
    run.fake().QueueTempNames({kQueued});
    run.Walk();
    return run.fake().calls();
}

// Sets the killed run's journal to `state`. False when the disk cannot hold
// that state at this call, or it is the state as left again.
bool SetJournal(JournalTree& run, JournalState state, const std::string& whole_steps,
                bool changed) {
    const std::string path = RunJournal(run);
    if (path.empty() || state == JournalState::kAsLeft) {
        return state == JournalState::kAsLeft;
    }
    const std::string left = JournalText(path);
    const std::size_t synced = SyncedLength(left);
    if (synced == std::string::npos) {
        return false;
    }
    std::string text = left;
    switch (state) {
        case JournalState::kAsLeft:
            break;
        case JournalState::kSynced:
            text.resize(synced);
            break;
        case JournalState::kTorn: {
            // A synced line is whole once the run changes anything.
            if (left.size() == synced && changed) {
                return false;
            }
            const auto line = text.rfind('\n', text.size() - 2) + 1;
            text.resize(std::max(line + 1, text.size() - 3));
            break;
        }
        case JournalState::kStepsAhead:
            text = left.substr(0, synced) + whole_steps;
            break;
    }
    if (text == left) {
        return false;
    }
    WriteJournal(path, text);
    return true;
}

std::vector<std::string_view> NamesIn(const std::string& path) {
    std::vector<std::string_view> names;
    for (std::size_t start = 0; start <= path.size();) {
        const auto slash = path.find('/', start);
        const auto end = slash == std::string::npos ? path.size() : slash;
        names.emplace_back(path.data() + start, end - start);
        start = end + 1;
    }
    return names;
}

// Names a run or an undo gives the chain while it works, found in `after`
// where `before` has no entry of that name.
std::string TempNamesLeft(const Snapshot& before, const Snapshot& after) {
    std::set<std::string_view> known;
    for (const auto& [path, kind] : before) {
        for (const auto name : NamesIn(path)) {
            known.insert(name);
        }
    }
    std::string left;
    for (const auto& [path, kind] : after) {
        for (const auto name : NamesIn(path)) {
            if (known.count(name) == 0 && (name == kTemp || name.starts_with("karuneo"))) {
                left += path + " ";
                break;
            }
        }
    }
    return left;
}

std::string LastReason(const JournalTree& run) {
    const auto reasons = run.Reasons();
    return reasons.empty() ? std::string() : reasons.back();
}

// Counts what the sweeps met, to be read beside their verdicts.
struct Tally {
    int states = 0;
    int refused = 0;
};

// Finishes whatever was cut off and undoes the last run: the tree must be
// the one before the first run. A finishing that refuses keeps the journal
// for another try, and must change nothing; one whose walk fails part-way
// ends as the run would have, and the undo still gives everything back.
void FinishAndUndo(JournalTree& run, const Snapshot& before, const std::string& where,
                   Tally& tally) {
    ++tally.states;
    const Snapshot found = TakeWithLooks(run.tree(), "D");
    const std::size_t rows = run.rows().size();
    run.Recover();
    if (!journal::CutOffJournals(run.journal_folder()).empty()) {
        ++tally.refused;
        EXPECT_TRUE(run.rows().size() > rows && run.rows().back().second == kStatusError) << where;
        EXPECT_EQ(TakeWithLooks(run.tree(), "D"), found) << where << ": " << LastReason(run);
        return;
    }
    run.Undo();
    const Snapshot after = TakeWithLooks(run.tree(), "D");
    EXPECT_EQ(after, before) << where << ": " << LastReason(run);
    EXPECT_EQ(TempNamesLeft(before, after), "") << where;
}

// An undo or a put-back killed part-way: the recovery finishes it, and the
// run is then undone once and for all. One killed before its journal was
// begun changed nothing, and the undo that follows does the whole of it.
void FinishCutOffUndo(JournalTree& run, const Snapshot& before, const std::string& where) {
    const bool undo_begun = journal::ListJournals(run.journal_folder()).size() > 1;
    run.Recover();
    EXPECT_TRUE(journal::CutOffJournals(run.journal_folder()).empty()) << where;
    if (!undo_begun) {
        run.Undo();
    }
    const Snapshot after = TakeWithLooks(run.tree(), "D");
    EXPECT_EQ(after, before) << where << ": " << LastReason(run);
    EXPECT_EQ(TempNamesLeft(before, after), "") << where;

    run.Undo();

    EXPECT_EQ(run.rows().back().second, kStatusError) << where;
    EXPECT_NE(LastReason(run).find("undone already"), std::string::npos)
        << where << ": " << LastReason(run);
    EXPECT_EQ(TakeWithLooks(run.tree(), "D"), after) << where;
}

std::string Where(const Shape& shape, int call, std::string_view state) {
    return shape.name + ", killed at call " + std::to_string(call) + ", " + std::string(state);
}

class CrashStateTest : public ::testing::TestWithParam<Shape> {};

TEST_P(CrashStateTest, ARunCutOffInAnyStateIsFinishedAndUndone) {
    const Shape& shape = GetParam();
    const std::string whole_steps = WholeRunSteps(shape);
    const int calls = CallsOfARun(shape);
    Tally tally;
    for (int call = 1; call <= calls; ++call) {
        for (const JournalState state : kStates) {
            JournalTree run;
            run.tree().Add(shape.entries, "D");
            const Snapshot before = TakeWithLooks(run.tree(), "D");
            run.fake().QueueTempNames({kQueued});
            run.fake().KillAtCall(call);
            run.Walk();
            run.Crash();
            const bool changed = TakeWithLooks(run.tree(), "D") != before;
            if (!SetJournal(run, state, whole_steps, changed)) {
                continue;
            }
            FinishAndUndo(run, before, Where(shape, call, Named(state)), tally);
        }
    }
    RecordProperty("states", tally.states);
    RecordProperty("refused", tally.refused);
}

TEST_P(CrashStateTest, AnUndoCutOffAtAnyCallIsFinished) {
    const Shape& shape = GetParam();
    int undo_calls = 0;
    {
        JournalTree run;
        run.tree().Add(shape.entries, "D");
        run.fake().QueueTempNames({kQueued});
        run.Walk();
        if (RunJournal(run).empty()) {
            return;  // nothing ran, nothing to undo
        }
        const int run_calls = run.fake().calls();
        run.UndoThroughFake();
        undo_calls = run.fake().calls() - run_calls;
    }
    for (int call = 1; call <= undo_calls; ++call) {
        JournalTree run;
        run.tree().Add(shape.entries, "D");
        const Snapshot before = TakeWithLooks(run.tree(), "D");
        run.fake().QueueTempNames({kQueued});
        run.Walk();
        run.fake().KillAtCall(run.fake().calls() + call);
        run.UndoThroughFake();
        run.Crash();
        FinishCutOffUndo(run, before, Where(shape, call, "undo"));
    }
}

// Stops the walk once `moved` entries have moved, and asks for them back.
class StopPartWay final : public WalkControl {
  public:
    StopPartWay(const testing::FailingFileSystem& fake, long long moved)
        : fake_(fake), moved_(moved) {}

    bool StopRequested() const override {
        // Asked before each entry, once the one before it has moved.
        if (progress_ < moved_) {
            return false;
        }
        if (stopped_at_ == 0) {
            stopped_at_ = fake_.calls();
        }
        return true;
    }
    bool UndoWhenStopped() const override { return true; }
    void MoveProgress(long long /*moved*/, long long /*total*/) override { ++progress_; }

    // The calls the walk had made when it stopped; 0 when it never did.
    int stopped_at() const { return stopped_at_; }

  private:
    const testing::FailingFileSystem& fake_;
    long long moved_;
    long long progress_ = 0;
    mutable int stopped_at_ = 0;
};

TEST_P(CrashStateTest, APutBackCutOffAtAnyCallIsFinished) {
    const Shape& shape = GetParam();
    int first = 0;
    int last = 0;
    {
        JournalTree run;
        run.tree().Add(shape.entries, "D");
        run.fake().QueueTempNames({kQueued});
        StopPartWay control(run.fake(), 1);
        run.Walk(control);
        if (control.stopped_at() == 0) {
            return;  // fewer than two entries: the walk never stops between two
        }
        first = control.stopped_at() + 1;
        last = run.fake().calls();
    }
    for (int call = first; call <= last; ++call) {
        JournalTree run;
        run.tree().Add(shape.entries, "D");
        const Snapshot before = TakeWithLooks(run.tree(), "D");
        run.fake().QueueTempNames({kQueued});
        StopPartWay control(run.fake(), 1);
        run.fake().KillAtCall(call);
        run.Walk(control);
        run.Crash();
        FinishCutOffUndo(run, before, Where(shape, call, "put-back"));
    }
}

// Under Wine every call costs many times more: there a few shapes stand for
// the rest, those where names meet or hidden entries stay.
std::vector<Shape> CrashShapes() {
    std::vector<Shape> shapes = testing::SweepShapes();
#ifdef _WIN32
    const std::vector<std::string> kept{
        "ChainOfFilesAndAFolder",          "NamedLikeTheTop",    "HiddenEntriesAtEveryLevel",
        "DeepestEntriesNamedLikeTheChain", "EmptyDeepestFolder", "FolderNamedLikeTheTemporaryName"};
    std::erase_if(shapes, [&kept](const Shape& shape) {
        return std::find(kept.begin(), kept.end(), shape.name) == kept.end();
    });
#endif
    return shapes;
}

INSTANTIATE_TEST_SUITE_P(Shapes, CrashStateTest, ::testing::ValuesIn(CrashShapes()),
                         testing::CaseName());

}  // namespace
}  // namespace karuneo
