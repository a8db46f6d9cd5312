#include "engine/journal/journaling_file_system.h"

#include <cstddef>
#include <initializer_list>
#include <utility>

#include "engine/entry_path.h"

namespace karuneo::journal {
namespace {

// Large enough that writing steps costs a few system calls per thousand
// entries, small enough to be nothing beside the names the walk holds.
constexpr std::size_t kBufferLimit = 1 << 16;
// A dropped folder that holds a chain holds one visible entry; its hidden
// ones are remembered so that an undo can tell them from newcomers.
constexpr std::size_t kHiddenKept = 4096;

EntryKind KindOf(const Entry& entry) {
    if (entry.is_mount_point) {
        return EntryKind::kOther;
    }
    if (entry.is_link) {
        return EntryKind::kLink;
    }
    return entry.is_folder ? EntryKind::kFolder : EntryKind::kFile;
}

}  // namespace

// Moves through the layer below and writes each entry that moved.
class JournalingFileSystem::RecordingMover final : public EntryMover {
  public:
    RecordingMover(JournalingFileSystem& journal, std::unique_ptr<EntryMover> inner)
        : journal_(journal), inner_(std::move(inner)) {}

    Failure Move(const std::string& name) override {
        Failure error = inner_->Move(name);
        if (!error && journal_.Writing()) {
            journal_.Write(MovedLine(name));
        }
        return error;
    }

  private:
    JournalingFileSystem& journal_;
    std::unique_ptr<EntryMover> inner_;
};

void JournalingFileSystem::HoldRoot(const EntryPath& root) {
    inner_.HoldRoot(root);
    file_ = std::move(resumed_);
    started_ = file_ != nullptr;
    journal_path_ = file_ ? file_->path() : std::string();
    failure_ = {};
    top_own_name_.clear();
    buffer_.clear();
    root_hidden_.clear();
    levels_.clear();
    listed_folder_.clear();
    listed_.clear();
    batch_for_.reset();
}

void JournalingFileSystem::ReleaseRoot() {
    if (Writing()) {
        Write(kCloseLine);
        // Not synced: a close lost with the power leaves a run that a
        // recovery finds complete on the disk, and closes.
        if (auto error = file_->Append(buffer_)) {
            Fail(error);
        }
        buffer_.clear();
    }
    file_.reset();
    listed_.clear();
    listed_.shrink_to_fit();
    inner_.ReleaseRoot();
}

Failure JournalingFileSystem::ListEntries(const EntryPath& folder, const EntryVisitor& visit) {
    if (!started_ && folder.IsRoot()) {
        root_hidden_.clear();
        return inner_.ListEntries(folder, [this, &visit](const Entry& entry) {
            if (entry.is_hidden && root_hidden_.size() < kHiddenKept) {
                root_hidden_.push_back(entry.name);
            }
            return visit(entry);
        });
    }
    if (!Writing() || folder.IsRoot()) {
        return inner_.ListEntries(folder, visit);
    }
    RecordLevel(folder);
    listed_folder_ = folder.Names();
    listed_.clear();
    return inner_.ListEntries(folder, [this, &visit](const Entry& entry) {
        listed_.push_back({entry.name, entry.id, KindOf(entry)});
        return visit(entry);
    });
}

Failure JournalingFileSystem::RenamePlainFolder(const EntryPath& folder,
                                                const std::string& new_name) {
    if (folder.Parent().IsRoot() && !batch_for_) {
        Start(folder, new_name);
    }
    return inner_.RenameFolder(folder, new_name);
}

// The top's rename is the first change; a retry after a name clash is the
// same start with another temporary name.
void JournalingFileSystem::Start(const EntryPath& top, const std::string& temp) {
    if (started_) {
        if (Writing() && top.LastName() == top_own_name_) {
            Write(TempLine(temp));
            SyncNow();
        }
        return;
    }
    started_ = true;
    top_own_name_ = top.LastName();
    auto created = JournalFile::CreateNew(folder_);
    if (!created.ok()) {
        Fail(created.error);
        return;
    }
    file_ = std::move(created.value);
    journal_path_ = file_->path();
    if (auto error = WriteHeader(top, temp)) {
        Fail(error);
        return;
    }
    SyncNow();
    PruneJournals(folder_);
}

Failure JournalingFileSystem::WriteHeader(const EntryPath& top, const std::string& temp) {
    const EntryPath root(top.Root());
    const auto root_identity = inner_.Identify(root);
    const auto top_identity = inner_.Identify(top);
    const auto top_look = inner_.LookOfFolder(top);
    for (const Failure* error : {&root_identity.error, &top_identity.error, &top_look.error}) {
        if (*error) {
            return *error;
        }
    }
    JournalRun run;
    run.root = AbsolutePath(root.Root());
    run.root_identity = root_identity.value;
    run.hidden = root_hidden_;
    run.top = top.LastName();
    run.top_id = top_identity.value.id;
    run.top_look = top_look.value;
    run.temp = temp;
    Write(HeaderLines(run));
    return {};
}

// Before the walk lists a chain folder, which may change its access time.
void JournalingFileSystem::RecordLevel(const EntryPath& folder) {
    if (!levels_.insert(folder.Names()).second) {
        return;
    }
    const auto look = inner_.LookOfFolder(folder);
    if (look.ok()) {
        Write(LevelLine({folder.Names(), look.value}));
    }
}

Result<std::unique_ptr<EntryMover>> JournalingFileSystem::OpenMove(const EntryPath& from,
                                                                   const EntryPath& to) {
    if (Writing() && batch_for_ != from.Names()) {
        RecordBatch(from);
    }
    auto mover = OpenMoveIn(inner_, from, to);
    if (!mover.ok() || !Writing()) {
        return mover;
    }
    return {std::make_unique<RecordingMover>(*this, std::move(mover.value))};
}

// Everything the walk listed in the deepest folder is about to move: the
// files now, the folders next. One sync covers both.
void JournalingFileSystem::RecordBatch(const EntryPath& from) {
    if (listed_folder_ != from.Names()) {
        listed_.clear();
        (void)ListEntries(from, [](const Entry&) { return true; });
    }
    batch_for_ = from.Names();
    Write(BatchLine(from.Names()));
    for (const auto& entry : listed_) {
        Write(EntryLine(entry));
    }
    listed_.clear();
    listed_.shrink_to_fit();
    SyncNow();
}

Failure JournalingFileSystem::RemoveEmptyChild(const EntryPath& folder) {
    // An empty deepest folder moves nothing, but the chain's removal must
    // still find where the run was: the deepest folder goes first.
    if (Writing() && !batch_for_) {
        RecordBatch(folder);
    }
    Failure error = inner_.RemoveEmptyFolder(folder);
    if (!error && Writing()) {
        Write(RemovedLine(folder.Names()));
    }
    return error;
}

void JournalingFileSystem::Write(std::string_view text) {
    buffer_ += text;
    if (buffer_.size() >= kBufferLimit) {
        if (auto error = file_->Append(buffer_)) {
            Fail(error);
        }
        buffer_.clear();
    }
}

void JournalingFileSystem::SyncNow() {
    if (!Writing()) {
        return;
    }
    Failure error = file_->Append(buffer_);
    buffer_.clear();
    if (!error) {
        error = file_->Sync();
    }
    if (error) {
        Fail(error);
    }
}

// A journal that stopped part-way would later pass for a run that was cut
// off; the run goes on without one, and the file goes.
void JournalingFileSystem::Fail(Failure failure) {
    failure_ = std::move(failure);
    if (failure_.number == kNoError) {
        failure_ = Failure(kUnexpected);
    }
    if (file_) {
        const std::string path = file_->path();
        file_.reset();
        RemoveJournal(path);
    }
    journal_path_.clear();
}

}  // namespace karuneo::journal
