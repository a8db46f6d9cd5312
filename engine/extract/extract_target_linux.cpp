// Everything is reached from the new folder's handle, part by part, with
// O_NOFOLLOW, and made with O_EXCL or its like: a link in an archive, or one
// another program puts in the new folder meanwhile, can never lead a write
// outside it, and nothing there is ever replaced.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/extract/extract_target.h"
#include "engine/extract/folder_flags_linux.h"
#include "engine/extract/refusal.h"
#include "engine/reason/row_reason.h"
#include "engine/unique_fd_posix.h"

namespace karuneo::extract {
namespace {

using posix::UniqueFd;

std::string Joined(const Parts& parts, std::size_t count) {
    std::string joined;
    for (std::size_t i = 0; i < count; ++i) {
        joined += (i > 0 ? "/" : "") + parts[i];
    }
    return joined;
}

Refusal Failed(int code, const Parts& parts, std::size_t count) {
    if (code == EEXIST || code == ENOTDIR || code == ELOOP) {
        return {ExtractProblem::kDuplicate, Joined(parts, count)};
    }
    return {ExtractProblem::kWrite, Joined(parts, count), {}, code};
}

// Read without changing it: umask() tells only by setting it, and a file
// another thread made in that moment would get the wrong mode. Unreadable,
// the strictest mask stands: the folder stays its owner's.
mode_t CurrentUmask() {
    const UniqueFd status(::open("/proc/self/status", O_RDONLY | O_CLOEXEC));
    std::string text(4096, '\0');
    const ssize_t got = status.valid() ? ::read(status.get(), text.data(), text.size()) : -1;
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    const auto at = text.find("\nUmask:");
    if (at == std::string::npos) {
        return 077;
    }
    return static_cast<mode_t>(std::strtoul(text.c_str() + at + 7, nullptr, 8) & 0777);
}

// A folder this extraction made, told apart from one put in its place.
using DeviceAndInode = std::pair<dev_t, ino_t>;

class LinuxExtractTarget final : public ExtractTarget {
  public:
    Refusal MakeTop(const std::string& parent, const std::string& name) override;
    Refusal MakeFolder(const Parts& parts, std::uint32_t mode) override;
    Refusal OpenFile(const Parts& parts, std::uint32_t mode) override;
    Refusal Write(std::string_view data, std::int64_t offset) override;
    Refusal CloseFile(std::int64_t size, bool has_mtime, std::int64_t mtime_s,
                      long mtime_ns) override;
    Refusal MakeSymlink(const Parts& parts, const std::string& target) override;
    Refusal MakeHardLink(const Parts& parts, const Parts& existing) override;
    std::uint64_t FreeBytes() override;
    bool RemoveMade() override;

  private:
    // The folder holding the entry `parts`, made where missing; cached,
    // since an archive lists a folder's entries together.
    Refusal OpenParent(const Parts& parts, bool make_missing, int& fd);
    Refusal MakeOneFolder(int parent, const Parts& parts, std::size_t count, mode_t mode,
                          bool own_entry);
    void NoteMade(int parent, const std::string& name);
    bool IsMade(const struct stat& info) const;
    bool RemoveInside(int folder);

    UniqueFd parent_;
    std::string top_name_;
    UniqueFd top_;
    std::set<DeviceAndInode> made_;
    std::unordered_set<std::string> files_;  // joined parts, for hard links
    Parts cached_parts_;
    UniqueFd cached_;
    UniqueFd file_;
    Parts file_parts_;
    std::int64_t file_end_ = 0;
};

void LinuxExtractTarget::NoteMade(int parent, const std::string& name) {
    struct stat info {};
    if (::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        made_.emplace(info.st_dev, info.st_ino);
    }
}

bool LinuxExtractTarget::IsMade(const struct stat& info) const {
    return made_.count({info.st_dev, info.st_ino}) > 0;
}

Refusal LinuxExtractTarget::MakeTop(const std::string& parent, const std::string& name) {
    // The archive's own folder is reached as the user named it.
    parent_ = UniqueFd(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent_.valid()) {
        return {ExtractProblem::kWrite, {}, {}, errno};
    }
    if (::mkdirat(parent_.get(), name.c_str(), 0777) != 0) {
        return {
            errno == EEXIST ? ExtractProblem::kNoFreeName : ExtractProblem::kWrite, {}, {}, errno};
    }
    top_name_ = name;
    NoteMade(parent_.get(), name);
    top_ = UniqueFd(::openat(parent_.get(), name.c_str(), kFolderFlags));
    return top_.valid() ? Refusal{} : Refusal{ExtractProblem::kWrite, {}, {}, errno};
}

// A folder made already for the files listed before it takes its mode when
// its own entry comes: archivers write a folder's entry after its contents
// too. The umask is applied as the mkdirat of an entry in order would.
Refusal LinuxExtractTarget::MakeOneFolder(int parent, const Parts& parts, std::size_t count,
                                          mode_t mode, bool own_entry) {
    const std::string& name = parts[count - 1];
    if (::mkdirat(parent, name.c_str(), mode) == 0) {
        NoteMade(parent, name);
        return {};
    }
    const int code = errno;
    struct stat info {};
    if (code != EEXIST || ::fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISDIR(info.st_mode) || !IsMade(info)) {
        return Failed(code, parts, count);
    }
    if (own_entry) {
        const UniqueFd folder(::openat(parent, name.c_str(), kFolderFlags));
        if (!folder.valid() || ::fchmod(folder.get(), mode & ~CurrentUmask()) != 0) {
            return Failed(errno, parts, count);
        }
    }
    return {};
}

Refusal LinuxExtractTarget::OpenParent(const Parts& parts, bool make_missing, int& fd) {
    const std::size_t depth = parts.size() - 1;
    if (cached_.valid() && cached_parts_.size() == depth &&
        std::equal(cached_parts_.begin(), cached_parts_.end(), parts.begin())) {
        fd = cached_.get();
        return {};
    }
    UniqueFd at(::dup(top_.get()));
    for (std::size_t i = 0; i < depth; ++i) {
        UniqueFd next(::openat(at.get(), parts[i].c_str(), kFolderFlags));
        if (!next.valid() && errno == ENOENT && make_missing) {
            if (auto refused = MakeOneFolder(at.get(), parts, i + 1, 0777, false)) {
                return refused;
            }
            next = UniqueFd(::openat(at.get(), parts[i].c_str(), kFolderFlags));
        }
        if (!next.valid()) {
            return Failed(errno, parts, i + 1);
        }
        at = std::move(next);
    }
    cached_parts_.assign(parts.begin(), parts.begin() + static_cast<long>(depth));
    cached_ = std::move(at);
    fd = cached_.get();
    return {};
}

Refusal LinuxExtractTarget::MakeFolder(const Parts& parts, std::uint32_t mode) {
    int parent = -1;
    if (auto refused = OpenParent(parts, true, parent)) {
        return refused;
    }
    // Its owner may always enter, change and remove what was extracted.
    return MakeOneFolder(parent, parts, parts.size(), (mode & 0777) | 0700, true);
}

Refusal LinuxExtractTarget::OpenFile(const Parts& parts, std::uint32_t mode) {
    int parent = -1;
    if (auto refused = OpenParent(parts, true, parent)) {
        return refused;
    }
    // Only permission bits, and those the umask leaves: never setuid,
    // setgid or sticky.
    file_ = UniqueFd(::openat(parent, parts.back().c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode & 0777));
    if (!file_.valid()) {
        return Failed(errno, parts, parts.size());
    }
    struct stat info {};
    if (::fstat(file_.get(), &info) == 0) {
        made_.emplace(info.st_dev, info.st_ino);
    }
    file_parts_ = parts;
    file_end_ = 0;
    files_.insert(Joined(parts, parts.size()));
    return {};
}

Refusal LinuxExtractTarget::Write(std::string_view data, std::int64_t offset) {
    while (!data.empty()) {
        const ssize_t wrote = ::pwrite(file_.get(), data.data(), data.size(), offset);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return Failed(wrote < 0 ? errno : ENOSPC, file_parts_, file_parts_.size());
        }
        data.remove_prefix(static_cast<std::size_t>(wrote));
        offset += wrote;
    }
    file_end_ = std::max(file_end_, offset);
    return {};
}

Refusal LinuxExtractTarget::CloseFile(std::int64_t size, bool has_mtime, std::int64_t mtime_s,
                                      long mtime_ns) {
    // A sparse file's last hole is no block of data: the size makes it.
    if (file_end_ < size && ::ftruncate(file_.get(), size) != 0) {
        return Failed(errno, file_parts_, file_parts_.size());
    }
    if (has_mtime) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, {mtime_s, mtime_ns}};
        (void)::futimens(file_.get(), times);  // a time not kept loses no data
    }
    const int fd = file_.release();
    return ::close(fd) == 0 ? Refusal{} : Failed(errno, file_parts_, file_parts_.size());
}

Refusal LinuxExtractTarget::MakeSymlink(const Parts& parts, const std::string& target) {
    int parent = -1;
    if (auto refused = OpenParent(parts, true, parent)) {
        return refused;
    }
    if (::symlinkat(target.c_str(), parent, parts.back().c_str()) != 0) {
        return Failed(errno, parts, parts.size());
    }
    NoteMade(parent, parts.back());
    return {};
}

Refusal LinuxExtractTarget::MakeHardLink(const Parts& parts, const Parts& existing) {
    if (files_.count(Joined(existing, existing.size())) == 0) {
        return {ExtractProblem::kHardLink, Joined(parts, parts.size()),
                Joined(existing, existing.size())};
    }
    int from = -1;
    if (auto refused = OpenParent(existing, false, from)) {
        return refused;
    }
    UniqueFd from_folder(::dup(from));
    int to = -1;
    if (auto refused = OpenParent(parts, true, to)) {
        return refused;
    }
    // No AT_SYMLINK_FOLLOW: the name is linked, never what it points at.
    if (::linkat(from_folder.get(), existing.back().c_str(), to, parts.back().c_str(), 0) != 0) {
        return Failed(errno, parts, parts.size());
    }
    files_.insert(Joined(parts, parts.size()));
    return {};
}

std::uint64_t LinuxExtractTarget::FreeBytes() {
    struct statvfs info {};
    if (::fstatvfs(top_.get(), &info) != 0) {
        return UINT64_MAX;  // the writes themselves will tell
    }
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

// Depth first; a folder that keeps something not made here stays, and so
// does everything above it.
bool LinuxExtractTarget::RemoveInside(int folder) {
    UniqueFd listing(::dup(folder));
    DIR* dir = ::fdopendir(listing.get());
    if (dir == nullptr) {
        return false;
    }
    listing.release();
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    ::closedir(dir);
    bool all_gone = true;
    for (const auto& name : names) {
        struct stat info {};
        if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !IsMade(info)) {
            all_gone = false;
            continue;
        }
        if (S_ISDIR(info.st_mode)) {
            UniqueFd inner(::openat(folder, name.c_str(), kFolderFlags));
            const bool emptied = inner.valid() && RemoveInside(inner.get());
            all_gone = emptied && ::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0 && all_gone;
        } else {
            all_gone = ::unlinkat(folder, name.c_str(), 0) == 0 && all_gone;
        }
    }
    return all_gone;
}

bool LinuxExtractTarget::RemoveMade() {
    file_ = UniqueFd();
    cached_ = UniqueFd();
    if (!top_.valid()) {
        return true;
    }
    const bool emptied = RemoveInside(top_.get());
    top_ = UniqueFd();
    struct stat info {};
    if (!emptied || ::fstatat(parent_.get(), top_name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !IsMade(info)) {
        return false;
    }
    return ::unlinkat(parent_.get(), top_name_.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace

std::unique_ptr<ExtractTarget> MakeNativeExtractTarget() {
    return std::make_unique<LinuxExtractTarget>();
}

}  // namespace karuneo::extract
