#pragma once

#include <memory>
#include <string>

#include "engine/file_system.h"
#include "engine/testing/failing_file_system.h"
#include "engine/walk_control.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_tree.h"

namespace karuneo::testing {

// A tree with the dropped folder "D" and, beside it, the journal folder
// "state/journal"; walks are journaled and go through the failing fake over
// the native layer, so that the fake can stop a walk as a kill would (a run
// killed syncs nothing more, so its journal is never closed), and undo and
// recovery run on the native layer as the tool runs them.
class JournalTree {
  public:
    JournalTree();

    TempTree& tree() { return tree_; }
    FailingFileSystem& fake() { return *fake_; }
    FileSystem& native() { return *native_; }
    const std::string& journal_folder() const { return journal_folder_; }
    std::vector<Row>& rows() { return sink_.rows; }
    RecordingSink& sink() { return sink_; }

    void Walk();
    // The same, asking `control` whether to stop and whether to put back
    // what a stopped walk moved.
    void Walk(WalkControl& control);
    // What a kill leaves: the journal's unwritten lines are lost, and its file
    // and every handle of the walk let go. Walk() and fake() are of no use
    // after it.
    void Crash();
    // A walk killed as it makes its `nth` move, and the crash after it.
    void WalkKilledAtMove(int nth);
    // D/A/B holding f1, f2 and f3, walked and killed after the first entry
    // moved: the rest waits in the deepest folder.
    void CutOffAfterOneMove();
    void Undo();
    // An undo through the fake, which can stop it dead as a kill would.
    void UndoThroughFake();
    void Recover();
    // As a window's start finishes them: one job per cut-off journal.
    void RecoverEachAlone();
    // The rows' reasons too, in English.
    std::vector<std::string> Reasons() const { return reasons_; }

    Snapshot Dropped() const { return tree_.Take("D"); }

  private:
    class ReasonSink;

    TempTree tree_;
    std::string journal_folder_;
    std::unique_ptr<FileSystem> native_;
    std::unique_ptr<FailingFileSystem> fake_;
    RecordingSink sink_;
    std::vector<std::string> reasons_;
};

// The tree below `relative` with each entry's permissions and modification
// time besides, links' own left out: what an undo must give back.
Snapshot TakeWithLooks(const TempTree& tree, const std::string& relative);

// What a kill at the walk's `kill_at_call`th call leaves of a run on
// `dropped`: the moves made so far and the default journal left unclosed,
// for a window or the tool to find when it starts.
void LeaveACutOffRun(const std::string& dropped, int kill_at_call);

}  // namespace karuneo::testing
