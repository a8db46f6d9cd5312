#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
// iwyu 8.18 takes structured bindings for a use of <type_traits>.
// IWYU pragma: no_include <type_traits>

#include "engine/error_number.h"
#include "engine/extract/extract_journal.h"
#include "engine/extract/extracted_tree.h"
#include "engine/extract/folder_flags_linux.h"
#include "engine/file_system.h"
#include "engine/system_code.h"
#include "engine/unique_fd_posix.h"

namespace karuneo::extract {
namespace {

using posix::UniqueFd;

EntryKind KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return EntryKind::kFolder;
    }
    if (S_ISLNK(mode)) {
        return EntryKind::kLink;
    }
    return S_ISREG(mode) ? EntryKind::kFile : EntryKind::kOther;
}

RecordedEntry Recorded(std::string path, const struct stat& info) {
    RecordedEntry entry{std::move(path), KindOf(info.st_mode), info.st_ino, 0, 0};
    if (entry.kind != EntryKind::kFolder) {
        entry.size = static_cast<std::uint64_t>(info.st_size);
        entry.mtime_ns = std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
    }
    return entry;
}

std::vector<std::string> NamesIn(int folder) {
    std::vector<std::string> names;
    UniqueFd listing(::dup(folder));
    DIR* dir = listing.valid() ? ::fdopendir(listing.get()) : nullptr;
    if (dir == nullptr) {
        return names;
    }
    listing.release();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

Failure ListBelow(int folder, const std::string& path, std::vector<RecordedEntry>& entries) {
    for (const auto& name : NamesIn(folder)) {
        struct stat info {};
        if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return SystemFailure(errno, path + name);
        }
        entries.push_back(Recorded(path + name, info));
        if (S_ISDIR(info.st_mode)) {
            UniqueFd inner(::openat(folder, name.c_str(), kFolderFlags));
            if (!inner.valid()) {
                return SystemFailure(errno, path + name);
            }
            if (auto failed = ListBelow(inner.get(), path + name + "/", entries)) {
                return failed;
            }
        }
    }
    return {};
}

using Ours = std::function<bool(const struct stat&)>;

// Depth first; what is not ours stays, with the folders that hold it.
bool RemoveInside(int folder, const Ours& ours) {
    bool all_gone = true;
    for (const auto& name : NamesIn(folder)) {
        struct stat info {};
        if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !ours(info)) {
            all_gone = false;
            continue;
        }
        if (S_ISDIR(info.st_mode)) {
            UniqueFd inner(::openat(folder, name.c_str(), kFolderFlags));
            const bool emptied = inner.valid() && RemoveInside(inner.get(), ours);
            all_gone = emptied && ::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0 && all_gone;
        } else {
            all_gone = ::unlinkat(folder, name.c_str(), 0) == 0 && all_gone;
        }
    }
    return all_gone;
}

bool IsFolderOf(const struct stat& info, const Identity& identity) {
    return S_ISDIR(info.st_mode) && info.st_dev == identity.device && info.st_ino == identity.id;
}

bool RemoveFolder(int parent, const std::string& name, const Identity& identity, const Ours& ours) {
    struct stat info {};
    if (::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !IsFolderOf(info, identity)) {
        return false;
    }
    UniqueFd folder(::openat(parent, name.c_str(), kFolderFlags));
    return folder.valid() && RemoveInside(folder.get(), ours) &&
           ::unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0;
}

std::pair<std::string, std::string> ParentAndName(const std::string& path) {
    const auto cut = path.rfind('/');
    if (cut == std::string::npos) {
        return {".", path};
    }
    return {cut == 0 ? "/" : path.substr(0, cut), path.substr(cut + 1)};
}

}  // namespace

Result<Identity> IdentityOfPath(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return SystemFailure(errno, {});
    }
    return Identity{info.st_dev, info.st_ino, KindOf(info.st_mode)};
}

Result<std::vector<RecordedEntry>> ListTree(const std::string& folder) {
    UniqueFd top(::open(folder.c_str(), kFolderFlags));
    if (!top.valid()) {
        return SystemFailure(errno, {});
    }
    std::vector<RecordedEntry> listed;
    if (auto failed = ListBelow(top.get(), {}, listed)) {
        return failed;
    }
    return listed;
}

std::string NameWithIdentity(const std::string& parent, const Identity& identity) {
    UniqueFd folder(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) {
        return {};
    }
    for (const auto& name : NamesIn(folder.get())) {
        struct stat info {};
        if (::fstatat(folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            IsFolderOf(info, identity)) {
            return name;
        }
    }
    return {};
}

bool RemoveWholeTree(const std::string& parent, const std::string& name, const Identity& identity) {
    UniqueFd folder(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder.valid() &&
           RemoveFolder(folder.get(), name, identity, [](const struct stat&) { return true; });
}

bool RemoveEmptyFolderAt(const std::string& path) {
    return ::rmdir(path.c_str()) == 0;
}

RecordedRemoval RemoveRecordedTree(const std::string& folder, const Identity& identity,
                                   const std::vector<RecordedEntry>& recorded, bool check_only) {
    RecordedRemoval removal = CheckRecordedTree(folder, identity, recorded);
    if (!removal.as_recorded || check_only) {
        return removal;
    }
    std::set<std::pair<dev_t, ino_t>> ours;
    for (const auto& entry : recorded) {
        ours.emplace(identity.device, entry.id);
    }
    const auto [parent, name] = ParentAndName(folder);
    UniqueFd parent_folder(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    removal.removed =
        parent_folder.valid() &&
        RemoveFolder(parent_folder.get(), name, identity, [&ours](const struct stat& info) {
            return ours.count({info.st_dev, info.st_ino}) > 0;
        });
    return removal;
}

}  // namespace karuneo::extract
