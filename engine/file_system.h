#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/entry_path.h"
#include "engine/error_number.h"

namespace karuneo {

struct Entry {
    std::string name;
    // A link, junction or mount point is never a folder here, whatever it
    // points at: the walk must not be led out of the dropped folder.
    bool is_folder = false;
    // Hidden entries are not counted, but they are moved like any other.
    bool is_hidden = false;
    // Only to tell a user what a folder holds; the walk goes by is_folder.
    bool is_link = false;  // a symbolic link or junction, or another reparse point
    bool is_mount_point = false;
    // The entry's number in its file system (inode, file ID) when the
    // listing tells it for free; 0 when it does not.
    std::uint64_t id = 0;
};

// What an entry is, as a journal records it and an undo checks it again.
enum class EntryKind : char { kFile = 'f', kFolder = 'd', kLink = 'l', kOther = 'o' };

// The kind a listing tells: a mount point is none a run moves.
inline EntryKind KindOfEntry(const Entry& entry) {
    if (entry.is_mount_point) {
        return EntryKind::kOther;
    }
    if (entry.is_link) {
        return EntryKind::kLink;
    }
    return entry.is_folder ? EntryKind::kFolder : EntryKind::kFile;
}

// An entry told apart from any other that takes its name later: the file
// system it lies on, its number there and its kind, links not followed.
struct Identity {
    std::uint64_t device = 0;  // volume serial number on Windows
    std::uint64_t id = 0;      // inode; file ID on Windows
    EntryKind kind = EntryKind::kOther;

    friend bool operator==(const Identity&, const Identity&) = default;
};

// A name=value attribute a file system keeps beside a folder's contents
// (Linux's extended attributes, its access lists among them).
struct ExtendedAttribute {
    std::string name;
    std::string value;

    friend bool operator==(const ExtendedAttribute&, const ExtendedAttribute&) = default;
};

inline constexpr std::uint32_t kNoOwner = 0xFFFFFFFF;

// What an undo gives back to a chain folder it recreates.
struct FolderLook {
    std::uint32_t mode = 0;      // permission bits; file attributes on Windows
    std::int64_t access_ns = 0;  // since 1970, in nanoseconds
    std::int64_t modify_ns = 0;
    // Where the system tells them; kNoOwner and none where it does not.
    std::uint32_t owner = kNoOwner;
    std::uint32_t group = kNoOwner;
    std::vector<ExtendedAttribute> attributes;

    friend bool operator==(const FolderLook&, const FolderLook&) = default;
};

// What of a look a layer could not give back: names like "owner" or an
// attribute's name, for the row to tell.
struct LookNotRestored {
    std::vector<std::string> parts;
};

// Return false to stop the listing early.
using EntryVisitor = std::function<bool(const Entry&)>;

// Asked before each entry of a move with how many have moved so far; a
// failure it returns ends the move there, before that entry.
using BeforeEachEntry = std::function<Failure(std::size_t moved)>;

// Moves entries from one folder into another, both resolved once, so that a
// folder of many files costs one lookup of each and not one per file.
class EntryMover {
  public:
    virtual ~EntryMover() = default;
    // Moves the entry `name`, a plain name, under the same name. Never
    // replaces an existing entry and never copies.
    virtual Failure Move(const std::string& name) = 0;
};

// A mover that hands each entry to a function: for a layer that builds its
// moves from another layer's, as the dry run and the failing fake do.
class MoverCalling final : public EntryMover {
  public:
    explicit MoverCalling(std::function<Failure(const std::string&)> move)
        : move_(std::move(move)) {}
    Failure Move(const std::string& name) override { return move_(name); }

  private:
    std::function<Failure(const std::string&)> move_;
};

// The only way the engine touches the disk. One implementation per operating
// system, the dry run's (which reads the disk and keeps every change in
// memory), the journal's over another, and a failing fake for tests. Nothing here throws: every
// failure is a Failure, which names the entry it concerns. Every path below a root is resolved
// without following links.
//
// The checks every layer needs (no root where a child is meant, only plain
// names) are made here once; a layer provides the primitives below them.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Resolves the dropped folder `root` once, for one walk: until
    // ReleaseRoot, every call on a path with this root works from the folder
    // it named now, however its text would resolve later (it may run through
    // the chain itself, as "D/A/.." does). A layer that resolves nothing ahead
    // may keep these defaults; one that cannot resolve the root holds nothing.
    // A layer that HoldsManyRoots keeps each root held until its own release,
    // so that a batch of runs can be planned before any of them changes
    // something; any other holds one at a time, the last one asked for.
    virtual void HoldRoot(const EntryPath& root) { (void)root; }
    virtual void ReleaseRoot(const EntryPath& root) { (void)root; }
    virtual bool HoldsManyRoots() const { return false; }

    // Claims a folder below or at the root for this walk, until ReleaseRoot,
    // against other runs of this program: kAnotherRun when one holds it, or
    // when another root this layer holds claimed it. Claiming one twice
    // under one root is no failure. A layer or a file system that cannot
    // claim anything lets every walk go ahead.
    virtual Failure ClaimFolder(const EntryPath& folder) {
        (void)folder;
        return {};
    }

    // The dropped folder's own name as stored on disk; kPathNotFound when the
    // root is not an existing folder (a plain file included).
    virtual Result<std::string> FolderName(const EntryPath& folder) = 0;

    // Every entry of the folder but "." and "..", hidden ones included.
    virtual Failure ListEntries(const EntryPath& folder, const EntryVisitor& visit) = 0;

    // A fresh name of the form base.extension, unlikely to exist anywhere.
    virtual std::string GetTempName();

    // Renames a folder below the root where it stands. Never replaces an
    // existing entry: kFileAlreadyExists when the new name is taken.
    Failure RenameFolder(const EntryPath& folder, std::string_view new_name);

    // Moves the named direct entries of `from`, in order, into `to` under the
    // same names. Stops at the first failure: what moved stays moved, the rest
    // stays put. Never replaces an existing entry and never copies.
    Failure MoveEntries(const EntryPath& from, std::span<const std::string> names,
                        const EntryPath& to, const BeforeEachEntry& before_each = {});

    // Removes a folder below the root only if it is empty; never recursive,
    // never forced. kFolderNotEmpty when it holds something.
    Failure RemoveEmptyFolder(const EntryPath& folder);

    // Puts what the run changed in the folder's entries on the disk, so that
    // a record which says the change is done is never ahead of it. A layer
    // whose changes are durable once made, or that makes none, keeps this.
    virtual Failure SyncFolder(const EntryPath& folder) {
        (void)folder;
        return {};
    }
    // The same for the folders of many runs at once, each under a root held:
    // what a batch of runs changed, made durable together.
    virtual Failure SyncFolders(std::span<const EntryPath> folders);

    // What undoing a run needs besides. A layer that cannot tell or do these
    // keeps the defaults, which fail with kUnexpected.

    // The entry's identity, a link's own and not its target's; of the root too.
    virtual Result<Identity> Identify(const EntryPath& entry);
    virtual Result<FolderLook> LookOfFolder(const EntryPath& folder);
    // Creates an empty folder below the root, open to this user only until
    // its look is set; kFileAlreadyExists when the name is taken.
    Failure CreateFolder(const EntryPath& folder);
    // What the layer could not give back goes to `not_restored` (owner,
    // attributes the user may not set) without failing the call; the mode
    // and times must take.
    Failure SetFolderLook(const EntryPath& folder, const FolderLook& look,
                          LookNotRestored* not_restored = nullptr);

  protected:
    // For a layer that wraps another and must move through it entry by entry
    // without opening both folders again for each.
    static Result<std::unique_ptr<EntryMover>> OpenMoveIn(FileSystem& layer, const EntryPath& from,
                                                          const EntryPath& to) {
        return layer.OpenMove(from, to);
    }

    // The primitives, called only with a folder below the root and a plain
    // new name or non-empty list of plain names.
    virtual Failure RenamePlainFolder(const EntryPath& folder, const std::string& new_name) = 0;
    virtual Result<std::unique_ptr<EntryMover>> OpenMove(const EntryPath& from,
                                                         const EntryPath& to) = 0;
    virtual Failure RemoveEmptyChild(const EntryPath& folder) = 0;
    virtual Failure CreateChildFolder(const EntryPath& folder);
    virtual Failure SetChildLook(const EntryPath& folder, const FolderLook& look,
                                 LookNotRestored* not_restored);
};

// Keeps a dropped folder resolved in `fs` for one walk, an undo or a
// recovery, released on any way out.
class HeldRoot {
  public:
    HeldRoot(FileSystem& fs, const EntryPath& root) : fs_(fs), root_(root) { fs_.HoldRoot(root_); }
    ~HeldRoot() { fs_.ReleaseRoot(root_); }
    HeldRoot(const HeldRoot&) = delete;
    HeldRoot& operator=(const HeldRoot&) = delete;

  private:
    FileSystem& fs_;
    EntryPath root_;
};

// Neither empty, "." nor "..", and free of separators (and on Windows of
// ':'): a name that cannot reach outside the entry it is joined to.
bool IsPlainName(std::string_view name);

}  // namespace karuneo
