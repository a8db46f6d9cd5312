#include "tests/support/journal_tree.h"

#include <filesystem>

#include "engine/journal/journal_file.h"
#include "engine/journal/journaled_walk.h"
#include "engine/journal/recovery.h"
#include "engine/journal/undo.h"
#include "engine/native_file_system.h"
#include "engine/unnest.h"
#include "results/rules/reason_text.h"
#include "tests/support/platform.h"

namespace karuneo::testing {

namespace fs = std::filesystem;

// Keeps each row's reason beside the row.
class JournalTree::ReasonSink final : public ResultSink {
  public:
    explicit ReasonSink(JournalTree& tree) : tree_(tree) {}
    void AddResult(std::string_view name, RowStatus status) override {
        tree_.sink_.AddResult(name, status);
    }
    void AddResultWithReason(std::string_view name, RowStatus status,
                             const RowReason& reason) override {
        tree_.sink_.AddResult(name, status);
        tree_.reasons_.push_back(ReasonInEnglish(reason, name));
    }

  private:
    JournalTree& tree_;
};

JournalTree::JournalTree()
    : journal_folder_(tree_.Path("state/journal")),
      native_(MakeNativeFileSystem()),
      fake_(std::make_unique<FailingFileSystem>(*native_)) {
    tree_.Add({}, "D");
}

void JournalTree::Walk() {
    ReasonSink sink(*this);
    journal::ProcessJournaled(tree_.Path("D"), *fake_, sink, UninterruptedWalk(), journal_folder_);
}

void JournalTree::Walk(WalkControl& control) {
    ReasonSink sink(*this);
    journal::ProcessJournaled(tree_.Path("D"), *fake_, sink, control, journal_folder_);
}

void JournalTree::Crash() {
    // A killed process lets go of every handle it held: on Windows one left
    // open on the dropped folder would keep it from being renamed.
    fake_.reset();
    native_ = MakeNativeFileSystem();
    fake_ = std::make_unique<FailingFileSystem>(*native_);
}

void JournalTree::WalkKilledAtMove(int nth) {
    int moves = 0;
    fake_->OnCall([this, &moves, nth](int call, Operation operation) {
        if (operation == Operation::kMoveEntries && ++moves == nth) {
            fake_->KillAtCall(call);
        }
    });
    Walk();
    Crash();
}

void JournalTree::CutOffAfterOneMove() {
    tree_.Add({"A/B/f1", "A/B/f2", "A/B/f3"}, "D");
    WalkKilledAtMove(2);
}

void JournalTree::Undo() {
    ReasonSink sink(*this);
    journal::UndoLastRun(tree_.Path("D"), *native_, sink, UninterruptedWalk(), journal_folder_);
}

void JournalTree::UndoThroughFake() {
    ReasonSink sink(*this);
    journal::UndoLastRun(tree_.Path("D"), *fake_, sink, UninterruptedWalk(), journal_folder_);
}

void JournalTree::Recover() {
    ReasonSink sink(*this);
    journal::FinishCutOffRuns(journal_folder_, *native_, sink);
}

void JournalTree::RecoverEachAlone() {
    ReasonSink sink(*this);
    for (const auto& path : journal::CutOffJournals(journal_folder_)) {
        journal::FinishCutOffRun(path, journal_folder_, *native_, sink, UninterruptedWalk(), false);
    }
}

Snapshot TakeWithLooks(const TempTree& tree, const std::string& relative) {
    Snapshot looks = tree.Take(relative);
    const fs::path base = tree.root() / PathFromUtf8(relative);
    for (auto& [path, kind] : looks) {
        if (kind.starts_with("link:")) {
            continue;
        }
        const fs::path entry = base / PathFromUtf8(path);
        const auto perms = static_cast<unsigned>(fs::status(entry).permissions());
        const auto time = ModifiedTime(entry);
        kind += " mode " + std::to_string(perms) + " time " + std::to_string(time);
    }
    return looks;
}

void LeaveACutOffRun(const std::string& dropped, int kill_at_call) {
    const auto native = MakeNativeFileSystem();
    FailingFileSystem killed(*native);
    killed.KillAtCall(kill_at_call);
    RecordingSink nowhere;
    journal::ProcessJournaled(dropped, killed, nowhere, UninterruptedWalk(),
                              journal::DefaultJournalFolder());
}

}  // namespace karuneo::testing
