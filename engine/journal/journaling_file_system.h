#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/error_number.h"
#include "engine/file_system.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"

namespace karuneo {
class EntryPath;
}  // namespace karuneo

namespace karuneo::journal {

// A layer over the native one that keeps a write-ahead journal of each walk
// as the walk calls it, so that the walk itself knows nothing of it. Before
// the chain's top is renamed it writes and syncs where the run is: the
// dropped folder's path and identity, the top's name, identity and look, the
// temporary name. Before the first entry of the deepest folder moves it writes
// and syncs every entry about to move, with the identity its listing gave.
// Each step after that (a move, a removal) is written, not synced: whoever
// reads the journal later judges each entry by what is on the disk. The walk's
// end closes the journal.
//
// A journal that cannot be written does not stop the walk: failure() says
// why, and the row should say that the run cannot be undone or finished.
class JournalingFileSystem final : public FileSystem {
  public:
    // Starts a new journal in `folder` for each walk that changes something.
    JournalingFileSystem(FileSystem& inner, std::string folder)
        : inner_(inner), folder_(std::move(folder)) {}
    // Goes on with a journal that was cut off, for the walk that finishes it.
    JournalingFileSystem(FileSystem& inner, std::unique_ptr<JournalFile> resumed)
        : inner_(inner), resumed_(std::move(resumed)) {}

    // Why the journal of the walk in hand could not be written; none when it
    // was, or when the walk has changed nothing yet.
    const Failure& failure() const { return failure_; }
    // The journal of the last walk, empty when it changed nothing.
    const std::string& journal_path() const { return journal_path_; }

    void HoldRoot(const EntryPath& root) override;
    void ReleaseRoot() override;
    Failure ClaimFolder(const EntryPath& folder) override { return inner_.ClaimFolder(folder); }
    Result<std::string> FolderName(const EntryPath& folder) override {
        return inner_.FolderName(folder);
    }
    Failure ListEntries(const EntryPath& folder, const EntryVisitor& visit) override;
    std::string GetTempName() override { return inner_.GetTempName(); }
    Result<Identity> Identify(const EntryPath& entry) override { return inner_.Identify(entry); }
    Result<FolderLook> LookOfFolder(const EntryPath& folder) override {
        return inner_.LookOfFolder(folder);
    }

  protected:
    Failure RenamePlainFolder(const EntryPath& folder, const std::string& new_name) override;
    Result<std::unique_ptr<EntryMover>> OpenMove(const EntryPath& from,
                                                 const EntryPath& to) override;
    Failure RemoveEmptyChild(const EntryPath& folder) override;
    Failure CreateChildFolder(const EntryPath& folder) override {
        return inner_.CreateFolder(folder);
    }
    Failure SetChildLook(const EntryPath& folder, const FolderLook& look) override {
        return inner_.SetFolderLook(folder, look);
    }

  private:
    class RecordingMover;

    bool Writing() const { return file_ != nullptr && !failure_; }
    void Start(const EntryPath& top, const std::string& temp);
    Failure WriteHeader(const EntryPath& top, const std::string& temp);
    void RecordLevel(const EntryPath& folder);
    void RecordBatch(const EntryPath& from);
    // Buffered: written out when large, and before every sync.
    void Write(std::string_view text);
    void SyncNow();
    void Fail(Failure failure);

    FileSystem& inner_;
    std::string folder_;
    std::unique_ptr<JournalFile> resumed_;

    std::unique_ptr<JournalFile> file_;
    std::string journal_path_;
    bool started_ = false;
    std::string top_own_name_;
    Failure failure_;
    std::string buffer_;
    std::vector<std::string> root_hidden_;
    std::set<std::vector<std::string>> levels_;
    std::vector<std::string> listed_folder_;
    std::vector<JournalEntry> listed_;
    std::optional<std::vector<std::string>> batch_for_;
};

}  // namespace karuneo::journal
