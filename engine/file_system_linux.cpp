// The Linux file-system layer. Everything below a dropped folder is reached
// through handles opened relative to their parent with O_NOFOLLOW, and moves
// use renameat2(RENAME_NOREPLACE): nothing here can follow a link out of the
// dropped folder or replace what is already there.
#include "engine/file_system_linux.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/entry_path.h"
#include "engine/fat_through_fuse_linux.h"
#include "engine/folder_look_linux.h"
#include "engine/native_file_system.h"
#include "engine/system_code.h"
#include "engine/unique_fd_posix.h"
#include "engine/write_backlog_linux.h"

namespace karuneo {
namespace {

using posix::UniqueFd;

constexpr int kFolderFlags = O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

struct Opened {
    UniqueFd fd;
    Failure error;
};

Opened Fail(int saved_errno, std::string entry) {
    return {UniqueFd(), SystemFailure(saved_errno, std::move(entry))};
}

// A mount point, a bind mount of the same device included, is no folder for
// the walk: descending into one or removing below it would change something
// outside the dropped folder. Kernels before 5.8 do not flag mount roots;
// there only a change of device shows one.
bool IsMountRoot(const struct statx& info, dev_t parent_device) {
    if ((info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0) {
        return (info.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    }
    return makedev(info.stx_dev_major, info.stx_dev_minor) != parent_device;
}

Result<struct statx> StatxAt(int parent, const char* name, int flags) {
    struct statx info {};
    if (::statx(parent, name, flags | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE, &info) !=
        0) {
        return SystemFailure(errno, {});
    }
    return info;
}

dev_t DeviceOf(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? info.st_dev : dev_t{};
}

bool IsFolderNotMount(const struct statx& info, dev_t parent_device) {
    return S_ISDIR(info.stx_mode) && !IsMountRoot(info, parent_device);
}

// Whether the folder opened as `child` is the root of a mount on top of
// the folder `parent`.
bool IsMountedOver(int parent, int child) {
    const auto info = StatxAt(child, "", AT_EMPTY_PATH);
    return !info.ok() || IsMountRoot(info.value(), DeviceOf(parent));
}

// The root may be reached through links (the user chose that path), but is
// not itself a link; every name below it is opened without following one.
// `held` is the root resolved at the start of the walk, or -1.
UniqueFd OpenRoot(const EntryPath& path, int held, int access) {
    if (held >= 0) {
        return UniqueFd(::openat(held, ".", access | kFolderFlags));
    }
    return UniqueFd(::open(path.Root().c_str(), access | kFolderFlags));
}

Opened OpenFolder(const EntryPath& path, int held, int access) {
    const auto& names = path.Names();
    const int root_access = names.empty() ? access : O_PATH;
    UniqueFd fd = OpenRoot(path, held, root_access);
    if (!fd.valid()) {
        return Fail(errno, {});
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int step_access = i + 1 == names.size() ? access : O_PATH;
        UniqueFd child(::openat(fd.get(), names[i].c_str(), step_access | kFolderFlags));
        if (!child.valid()) {
            return Fail(errno, path.Below(i + 1));
        }
        if (IsMountedOver(fd.get(), child.get())) {
            return Fail(EXDEV, path.Below(i + 1));
        }
        fd = std::move(child);
    }
    return {std::move(fd), {}};
}

Opened OpenParent(const EntryPath& path, int held) {
    return OpenFolder(path.Parent(), held, O_PATH);
}

// The entry itself, a link's own handle and not its target's.
Opened OpenOwn(const EntryPath& entry, int held) {
    if (entry.IsRoot()) {
        UniqueFd root = OpenRoot(entry, held, O_PATH);
        return root.valid() ? Opened{std::move(root), {}} : Fail(errno, {});
    }
    Opened parent = OpenParent(entry, held);
    if (!parent.fd.valid()) {
        return parent;
    }
    UniqueFd own(
        ::openat(parent.fd.get(), entry.LastName().c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    return own.valid() ? Opened{std::move(own), {}} : Fail(errno, entry.Below());
}

// The identifier the file system keeps for itself (from its UUID on ext4 and
// btrfs), which stays when a disk comes back under another device number;
// the device number where the file system has none.
std::uint64_t FileSystemId(int fd, dev_t device) {
    struct statfs info {};
    std::uint64_t id = 0;
    static_assert(sizeof info.f_fsid == sizeof id);
    if (::fstatfs(fd, &info) == 0) {
        std::memcpy(&id, &info.f_fsid, sizeof id);
    }
    return id != 0 ? id : static_cast<std::uint64_t>(device);
}

// A dropped link to a folder is refused with an error row; a dropped link to
// anything else is ignored like a dropped file. ELOOP is what opening a link
// without following it says.
Failure RootLookupError(const EntryPath& root, const Failure& open_error) {
    struct stat link {};
    struct stat target {};
    const char* path = root.Root().c_str();
    // Links that lead round in a circle name nothing: no folder, no row.
    if (::stat(path, &target) != 0 && errno == ELOOP) {
        return Failure(kPathNotFound);
    }
    if (::lstat(path, &link) == 0 && S_ISLNK(link.st_mode)) {
        const bool to_folder = ::stat(path, &target) == 0 && S_ISDIR(target.st_mode);
        return to_folder ? Failure(kPathFileAccessError, ELOOP, {}) : Failure(kPathNotFound);
    }
    return open_error;
}

std::string RealLastName(const EntryPath& root) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(root.Root().c_str(), nullptr),
                                                     &std::free);
    return real ? EntryPath(real.get()).LastName() : root.LastName();
}

// A root ending in "." or ".." has no name of its own in its text.
std::string OwnName(const EntryPath& root) {
    const std::string name = root.LastName();
    return name == "." || name == ".." || name.empty() ? RealLastName(root) : name;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// d_type spares a call per file; folders (and entries of file systems that
// leave d_type unknown) pay one statx, which also tells a mount point.
Failure DescribeEntry(int parent, dev_t parent_device, const dirent& raw, Entry& entry) {
    entry.is_folder = false;
    entry.is_link = raw.d_type == DT_LNK;
    entry.is_mount_point = false;
    if (raw.d_type != DT_UNKNOWN && raw.d_type != DT_DIR) {
        return {};
    }
    const auto info = StatxAt(parent, raw.d_name, 0);
    if (!info.ok()) {
        return info.error();
    }
    entry.is_folder = IsFolderNotMount(info.value(), parent_device);
    entry.is_link = S_ISLNK(info.value().stx_mode);
    entry.is_mount_point = S_ISDIR(info.value().stx_mode) && !entry.is_folder;
    return {};
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A mount point counts as a folder here: its fallback then fails as a rename
// across file systems does, where a link would fail less plainly.
bool IsDirectoryAt(int parent, const std::string& name) {
    const auto info = StatxAt(parent, name.c_str(), 0);
    return info.ok() && S_ISDIR(info.value().stx_mode);
}

// Some file systems (older FUSE ones, some network mounts) lack renameat2's
// flags. A file can still be moved without any risk of replacing: link the
// new name, which fails if it exists, then unlink the old one.
Failure LinkThenUnlink(int from, int to, const std::string& name) {
    if (::linkat(from, name.c_str(), to, name.c_str(), 0) != 0) {
        const int saved = errno;
        // exFAT through FUSE, for one, makes no links either: then there is
        // no way left that cannot replace, and nothing must be tried.
        if (saved == EPERM || saved == EOPNOTSUPP || saved == ENOSYS) {
            return {kNoSafeMove, saved, {}};
        }
        return SystemFailure(saved, {});
    }
    if (::unlinkat(from, name.c_str(), 0) != 0) {
        const int saved = errno;
        ::unlinkat(to, name.c_str(), 0);  // back to one name, where it was
        return SystemFailure(saved, {});
    }
    return {};
}

bool OnFatThroughFuse(int folder) {
    struct stat info {};
    return ::fstat(folder, &info) == 0 && IsFatThroughFuse(major(info.st_dev), minor(info.st_dev));
}

// A folder cannot be linked. Creating the new name as an empty folder
// claims it (that fails if anything holds it); a plain rename may then
// replace only that empty folder, and fails if it gained content meanwhile.
Failure ClaimThenRename(int from, const std::string& name, int to, const std::string& new_name) {
    if (::mkdirat(to, new_name.c_str(), 0700) != 0) {
        return SystemFailure(errno, {});
    }
    if (::renameat(from, name.c_str(), to, new_name.c_str()) != 0) {
        const int saved = errno;
        ::unlinkat(to, new_name.c_str(), AT_REMOVEDIR);  // only while still empty
        return SystemFailure(saved, {});
    }
    return {};
}

// NFS, sshfs and other FUSE file systems answer EINVAL to RENAME_NOREPLACE;
// they get a fallback that cannot replace anything either. A failure names
// `entry`, the entry renamed or moved.
Failure RenameNoReplace(const RenameCall& rename, int from, const std::string& name, int to,
                        const std::string& new_name, std::string entry) {
    if (rename(from, name.c_str(), to, new_name.c_str(), RENAME_NOREPLACE) == 0) {
        return {};
    }
    const int saved = errno;
    Failure error = SystemFailure(saved, {});
    if (saved == EINVAL && OnFatThroughFuse(from)) {
        // No file can move there without the risk of replacing, and some of
        // these drivers refuse a folder's temporary name as well: nothing is
        // tried, and the row says why.
        error = {kNoSafeMove, saved, {}};
    } else if (saved == EINVAL && IsDirectoryAt(from, name)) {
        error = ClaimThenRename(from, name, to, new_name);
    } else if (saved == EINVAL && name == new_name) {
        error = LinkThenUnlink(from, to, name);
    }
    error.entry = std::move(entry);
    return error;
}

// The source and target of a move, each opened once.
class FolderPairMover final : public EntryMover {
  public:
    FolderPairMover(RenameCall rename, UniqueFd from, UniqueFd to)
        : rename_(rename), from_(std::move(from)), to_(std::move(to)) {}

    Failure Move(const std::string& name) override {
        return RenameNoReplace(rename_, from_.get(), name, to_.get(), name, {});
    }

  private:
    RenameCall rename_;
    UniqueFd from_;
    UniqueFd to_;
};

EntryKind KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return EntryKind::kFolder;
    }
    return S_ISLNK(mode) ? EntryKind::kLink : EntryKind::kFile;
}

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

timespec FromNanoseconds(std::int64_t ns) {
    return {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

}  // namespace

struct LinuxFileSystem::Claim {
    dev_t device;
    ino_t inode;
    UniqueFd fd;
};

// One dropped folder held, with the folders claimed below it.
struct LinuxFileSystem::Held {
    std::string root;
    std::string name;
    UniqueFd fd;  // not valid when the root could not be opened
    std::vector<Claim> claims;
};

LinuxFileSystem::LinuxFileSystem() : LinuxFileSystem(&::renameat2) {}

LinuxFileSystem::LinuxFileSystem(RenameCall rename) : rename_(rename) {}

LinuxFileSystem::~LinuxFileSystem() = default;

// Held again under the same text, a root is resolved anew: the newer hold is
// the one its paths use until it is released.
void LinuxFileSystem::HoldRoot(const EntryPath& root) {
    auto held = std::make_unique<Held>();
    held->root = root.Root();
    held->fd = OpenRoot(root, -1, O_PATH);
    if (held->fd.valid()) {
        held->name = OwnName(root);
    }
    // A root that cannot be opened holds nothing: each call then looks it
    // up itself and fails as it may. Its claims are still kept here.
    held_.push_back(std::move(held));
}

void LinuxFileSystem::ReleaseRoot(const EntryPath& root) {
    for (auto it = held_.rbegin(); it != held_.rend(); ++it) {
        if ((*it)->root == root.Root()) {
            held_.erase(std::next(it).base());
            return;
        }
    }
}

LinuxFileSystem::Held* LinuxFileSystem::HeldOf(const EntryPath& path) const {
    for (auto it = held_.rbegin(); it != held_.rend(); ++it) {
        if ((*it)->root == path.Root()) {
            return it->get();
        }
    }
    return nullptr;
}

// An advisory lock, which only other runs of this program ask for: it keeps
// two of them from renaming and emptying one chain at the same time. Locks of
// one process on two descriptors of a folder would refuse each other, so a
// folder claimed already is known by its identity: claimed under the same
// root it is this walk's own (or an outer walk's on the same folder, as a
// recovery's); under another root held at the same time (a batch of runs) it
// is another run's, as it would be in another process, even on a file
// system that has no locks.
Failure LinuxFileSystem::ClaimFolder(const EntryPath& folder) {
    Opened opened = OpenFolder(folder, HeldFor(folder), O_RDONLY);
    struct stat info {};
    if (!opened.fd.valid() || ::fstat(opened.fd.get(), &info) != 0) {
        return {};  // the walk's own calls will meet whatever stands in the way
    }
    for (const auto& held : held_) {
        for (const Claim& claim : held->claims) {
            if (claim.device == info.st_dev && claim.inode == info.st_ino) {
                return held->root == folder.Root() ? Failure()
                                                   : Failure{kAnotherRun, 0, folder.Below()};
            }
        }
    }
    Held* own = HeldOf(folder);
    if (::flock(opened.fd.get(), LOCK_EX | LOCK_NB) != 0) {
        // Only a lock held elsewhere stops the walk; a file system without
        // locks lets it go ahead as before.
        return errno == EWOULDBLOCK ? Failure{kAnotherRun, 0, folder.Below()} : Failure();
    }
    if (own == nullptr) {
        HoldRoot(EntryPath(folder.Root()));  // a claim outlives no root's release
        own = held_.back().get();
    }
    own->claims.push_back({info.st_dev, info.st_ino, std::move(opened.fd)});
    return {};
}

int LinuxFileSystem::HeldFor(const EntryPath& path) const {
    const Held* held = HeldOf(path);
    return held != nullptr && held->fd.valid() ? held->fd.get() : -1;
}

Result<std::string> LinuxFileSystem::FolderName(const EntryPath& folder) {
    if (const Held* held = HeldOf(folder); folder.IsRoot() && held != nullptr && held->fd.valid()) {
        return {held->name};
    }
    const Opened opened = OpenFolder(folder, HeldFor(folder), O_PATH);
    if (!opened.fd.valid()) {
        return folder.IsRoot() ? RootLookupError(folder, opened.error) : opened.error;
    }
    return {folder.IsRoot() ? OwnName(folder) : folder.LastName()};
}

Failure LinuxFileSystem::ListEntries(const EntryPath& folder, const EntryVisitor& visit) {
    Opened opened = OpenFolder(folder, HeldFor(folder), O_RDONLY);
    if (!opened.fd.valid()) {
        return opened.error;
    }
    std::unique_ptr<DIR, DirCloser> dir(::fdopendir(opened.fd.get()));
    if (!dir) {
        return SystemFailure(errno, folder.Below());
    }
    const dev_t device = DeviceOf(opened.fd.get());
    opened.fd.release();  // the DIR owns it now
    Entry entry;
    for (;;) {
        errno = 0;
        const dirent* raw = ::readdir(dir.get());
        if (raw == nullptr) {
            return errno == 0 ? Failure() : SystemFailure(errno, folder.Below());
        }
        if (IsDotOrDotDot(raw->d_name)) {
            continue;
        }
        Failure error = DescribeEntry(::dirfd(dir.get()), device, *raw, entry);
        if (error == kPathNotFound) {
            continue;  // gone since it was listed
        }
        if (error) {
            error.entry = folder.Child(raw->d_name).Below();
            return error;
        }
        entry.name = raw->d_name;
        entry.id = raw->d_ino;
        entry.is_hidden = raw->d_name[0] == '.';
        if (!visit(entry)) {
            return {};
        }
    }
}

Failure LinuxFileSystem::RenamePlainFolder(const EntryPath& folder, const std::string& new_name) {
    const Opened parent = OpenParent(folder, HeldFor(folder));
    if (!parent.fd.valid()) {
        return parent.error;
    }
    const int fd = parent.fd.get();
    return RenameNoReplace(rename_, fd, folder.LastName(), fd, new_name, folder.Below());
}

Result<std::unique_ptr<EntryMover>> LinuxFileSystem::OpenMove(const EntryPath& from,
                                                              const EntryPath& to) {
    Opened source = OpenFolder(from, HeldFor(from), O_PATH);
    if (!source.fd.valid()) {
        return source.error;
    }
    Opened target = OpenFolder(to, HeldFor(to), O_PATH);
    if (!target.fd.valid()) {
        return target.error;
    }
    return {std::make_unique<FolderPairMover>(rename_, std::move(source.fd), std::move(target.fd))};
}

Failure LinuxFileSystem::RemoveEmptyChild(const EntryPath& folder) {
    const Opened parent = OpenParent(folder, HeldFor(folder));
    if (!parent.fd.valid()) {
        return parent.error;
    }
    if (::unlinkat(parent.fd.get(), folder.LastName().c_str(), AT_REMOVEDIR) != 0) {
        return SystemFailure(errno, folder.Below());
    }
    return {};
}

Result<struct stat> LinuxFileSystem::StatOf(const EntryPath& entry) const {
    struct stat info {};
    if (entry.IsRoot()) {
        const UniqueFd root = OpenRoot(entry, HeldFor(entry), O_PATH);
        if (!root.valid() || ::fstat(root.get(), &info) != 0) {
            return SystemFailure(errno, {});
        }
        return info;
    }
    const Opened parent = OpenParent(entry, HeldFor(entry));
    if (!parent.fd.valid()) {
        return parent.error;
    }
    if (::fstatat(parent.fd.get(), entry.LastName().c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return SystemFailure(errno, entry.Below());
    }
    return info;
}

Result<Identity> LinuxFileSystem::Identify(const EntryPath& entry) {
    const Opened own = OpenOwn(entry, HeldFor(entry));
    struct stat info {};
    if (!own.fd.valid()) {
        return own.error;
    }
    if (::fstat(own.fd.get(), &info) != 0) {
        return SystemFailure(errno, entry.Below());
    }
    return {Identity{FileSystemId(own.fd.get(), info.st_dev),
                     static_cast<std::uint64_t>(info.st_ino), KindOf(info.st_mode)}};
}

Result<FolderLook> LinuxFileSystem::LookOfFolder(const EntryPath& folder) {
    const Opened opened = OpenFolder(folder, HeldFor(folder), O_RDONLY);
    struct stat info {};
    if (!opened.fd.valid()) {
        return opened.error;
    }
    if (::fstat(opened.fd.get(), &info) != 0) {
        return SystemFailure(errno, folder.Below());
    }
    FolderLook look{static_cast<std::uint32_t>(info.st_mode & 07777),
                    Nanoseconds(info.st_atim),
                    Nanoseconds(info.st_mtim),
                    static_cast<std::uint32_t>(info.st_uid),
                    static_cast<std::uint32_t>(info.st_gid),
                    {}};
    auto attributes = ReadAttributes(opened.fd.get());
    if (!attributes.ok()) {
        return SystemFailure(attributes.error().system_code, folder.Below());
    }
    look.attributes = std::move(attributes.value());
    return {std::move(look)};
}

Failure LinuxFileSystem::SyncFolder(const EntryPath& folder) {
    const Opened opened = OpenFolder(folder, HeldFor(folder), O_RDONLY);
    if (!opened.fd.valid()) {
        return opened.error;
    }
    if (::fsync(opened.fd.get()) != 0) {
        return SystemFailure(errno, folder.Below());
    }
    return {};
}

// Many folders, little else waiting to be written: one syncfs for each local
// file system they are on, each ending with one flush of the disk's cache
// where a sync per folder would flush it once per folder. A folder on any
// other file system is synced by itself.
Failure LinuxFileSystem::SyncFolders(std::span<const EntryPath> folders) {
    if (folders.size() < 2 || !LittleWaitsToBeWritten()) {
        return FileSystem::SyncFolders(folders);
    }
    std::vector<std::pair<dev_t, Opened>> one_per_device;
    for (const EntryPath& folder : folders) {
        Opened opened = OpenFolder(folder, HeldFor(folder), O_RDONLY);
        struct stat info {};
        if (!opened.fd.valid() || ::fstat(opened.fd.get(), &info) != 0) {
            return opened.fd.valid() ? SystemFailure(errno, folder.Below()) : opened.error;
        }
        if (!SyncfsCoversEachFile(opened.fd.get())) {
            if (::fsync(opened.fd.get()) != 0) {
                return SystemFailure(errno, folder.Below());
            }
            continue;
        }
        const bool seen =
            std::any_of(one_per_device.begin(), one_per_device.end(),
                        [&info](const auto& held) { return held.first == info.st_dev; });
        if (!seen) {
            one_per_device.emplace_back(info.st_dev, std::move(opened));
        }
    }
    for (const auto& held : one_per_device) {
        if (::syncfs(held.second.fd.get()) != 0) {
            return SystemFailure(errno);
        }
    }
    return {};
}

Failure LinuxFileSystem::CreateChildFolder(const EntryPath& folder) {
    const Opened parent = OpenParent(folder, HeldFor(folder));
    if (!parent.fd.valid()) {
        return parent.error;
    }
    if (::mkdirat(parent.fd.get(), folder.LastName().c_str(), 0700) != 0) {
        return SystemFailure(errno, folder.Below());
    }
    return {};
}

// Through the folder's own handle, opened without following a link, so that
// a link put in its place meanwhile cannot pass the change on. The owner
// first (it clears the set-id bits), then the attributes (an access list
// sets the group bits), then the mode and the times.
Failure LinuxFileSystem::SetChildLook(const EntryPath& folder, const FolderLook& look,
                                      LookNotRestored* not_restored) {
    const Opened opened = OpenFolder(folder, HeldFor(folder), O_RDONLY);
    if (!opened.fd.valid()) {
        return opened.error;
    }
    const int fd = opened.fd.get();
    GiveOwnerBack(fd, look, *not_restored);
    GiveAttributesBack(fd, look.attributes, *not_restored);
    const timespec times[2] = {FromNanoseconds(look.access_ns), FromNanoseconds(look.modify_ns)};
    if (::fchmod(fd, static_cast<mode_t>(look.mode)) != 0 || ::futimens(fd, times) != 0) {
        return SystemFailure(errno, folder.Below());
    }
    return {};
}

}  // namespace karuneo

namespace karuneo {

std::unique_ptr<FileSystem> MakeNativeFileSystem() {
    return std::make_unique<LinuxFileSystem>();
}

}  // namespace karuneo
