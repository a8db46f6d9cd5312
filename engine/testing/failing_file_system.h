#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "engine/error_number.h"
#include "engine/file_system.h"

namespace karuneo {
class EntryPath;
}  // namespace karuneo

namespace karuneo::testing {

// The counted calls of the file-system layer, one for each that touches the disk.
enum class Operation {
    kFolderName,
    kListEntries,
    kRenameFolder,
    kMoveEntries,
    kRemoveEmptyFolder,
    kIdentify,  // Identify and LookOfFolder
    kCreateFolder,
    kSetFolderLook,
};

// The operation as its call is spelled, "MoveEntries", for failure messages.
std::string_view OperationName(Operation operation);

// Wraps a real file-system layer and fails the calls a test chooses, so that
// every failure path of the walk can be driven on real folders. Each entry
// that MoveEntries moves counts as a call of its own, which lets a test stop
// a move half-way. GetTempName cannot fail and is not counted.
class FailingFileSystem final : public FileSystem {
  public:
    explicit FailingFileSystem(FileSystem& inner) : inner_(inner) {}

    // Fails the n-th counted call (1-based) with `error`; 0 fails none. A
    // failure without an entry is given the one the call concerns.
    void FailCall(int n, Failure error) {
        fail_at_ = n;
        fail_error_ = std::move(error);
    }
    // Fails the nth call (1-based) of one operation, such as the second
    // move, which stops a move half-way whatever came before it.
    void FailNthCall(Operation operation, int nth, Failure error) {
        fail_operation_ = operation;
        fail_operation_nth_ = nth;
        fail_operation_calls_ = 0;
        fail_error_ = std::move(error);
    }
    // Stops the walk dead at the n-th counted call, as a kill would: that
    // call and every later one fail without touching the disk, and the end
    // of the walk is not passed on, so no layer below can clean up.
    void KillAtCall(int n) { killed_at_ = n; }
    bool killed() const { return killed_at_ > 0 && calls_ >= killed_at_; }
    // Called before each counted call with its number and operation; lets a
    // test act between two steps of the walk (a race).
    void OnCall(std::function<void(int call, Operation operation)> hook) {
        on_call_ = std::move(hook);
    }
    // Temporary names handed out before the inner layer's own.
    void QueueTempNames(std::deque<std::string> names) { temp_names_ = std::move(names); }
    // Rewrites listed entries before the walk sees them, to stand in for what
    // a platform reports (a reparse point, a hidden attribute).
    void RewriteEntries(std::function<void(Entry&)> rewrite) { rewrite_ = std::move(rewrite); }

    int calls() const { return calls_; }
    bool failed() const { return failed_; }

    // Passed on uncounted: they touch nothing.
    void HoldRoot(const EntryPath& root) override { inner_.HoldRoot(root); }
    void ReleaseRoot(const EntryPath& root) override {
        if (!killed()) {
            inner_.ReleaseRoot(root);
        }
    }
    bool HoldsManyRoots() const override { return inner_.HoldsManyRoots(); }
    Failure ClaimFolder(const EntryPath& folder) override { return inner_.ClaimFolder(folder); }
    // Uncounted too, but a killed walk syncs nothing, so its record is never
    // closed.
    Failure SyncFolder(const EntryPath& folder) override {
        return killed() ? Failure(kUnexpected) : inner_.SyncFolder(folder);
    }
    Failure SyncFolders(std::span<const EntryPath> folders) override {
        return killed() ? Failure(kUnexpected) : inner_.SyncFolders(folders);
    }
    Result<std::string> FolderName(const EntryPath& folder) override;
    Result<Identity> Identify(const EntryPath& entry) override;
    Result<FolderLook> LookOfFolder(const EntryPath& folder) override;
    Failure ListEntries(const EntryPath& folder, const EntryVisitor& visit) override;
    std::string GetTempName() override;

  protected:
    Failure RenamePlainFolder(const EntryPath& folder, const std::string& new_name) override;
    Result<std::unique_ptr<EntryMover>> OpenMove(const EntryPath& from,
                                                 const EntryPath& to) override;
    Failure RemoveEmptyChild(const EntryPath& folder) override;
    Failure CreateChildFolder(const EntryPath& folder) override;
    Failure SetChildLook(const EntryPath& folder, const FolderLook& look,
                         LookNotRestored* not_restored) override;

  private:
    // Counts a call about `entry`; the error it must fail with, or none.
    Failure Count(Operation operation, const EntryPath& entry);

    FileSystem& inner_;
    int calls_ = 0;
    int fail_at_ = 0;
    int killed_at_ = 0;
    Failure fail_error_;
    bool failed_ = false;
    Operation fail_operation_ = Operation::kFolderName;
    int fail_operation_nth_ = 0;  // 0: no operation fails
    int fail_operation_calls_ = 0;
    std::function<void(int, Operation)> on_call_;
    std::deque<std::string> temp_names_;
    std::function<void(Entry&)> rewrite_;
};

}  // namespace karuneo::testing
