#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "engine/error_number.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/storage_fault.h"
#include "engine/system_code.h"
#include "engine/unique_fd_posix.h"
#include "engine/write_backlog_linux.h"

namespace karuneo::journal {
namespace {

using posix::UniqueFd;

struct Opened {
    UniqueFd fd;
    std::uint64_t size = 0;
    Failure error;
};

Failure NotRegular(mode_t mode) {
    return S_ISDIR(mode) ? SystemFailure(EISDIR) : Failure(kPathFileAccessError, EINVAL, {});
}

// A regular file only: a link is not followed and a pipe not waited on, so
// that nothing named like a journal can hang a run or lead it elsewhere.
// O_NONBLOCK does nothing to a regular file's reads and writes.
Opened OpenRegular(const std::string& path, int flags) {
    Opened opened{
        UniqueFd(::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)), 0, {}};
    struct stat info {};
    if (!opened.fd.valid() || ::fstat(opened.fd.get(), &info) != 0) {
        return {UniqueFd(), 0, SystemFailure(errno)};
    }
    if (!S_ISREG(info.st_mode)) {
        return {UniqueFd(), 0, NotRegular(info.st_mode)};
    }
    opened.size = static_cast<std::uint64_t>(info.st_size);
    return opened;
}

// Locked for as long as this process holds it open.
Result<int> Locked(UniqueFd fd) {
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? Failure(kFileAlreadyExists, errno, {}) : SystemFailure(errno);
    }
    return {fd.release()};
}

Result<std::string> ReadRange(int fd, native::ByteRange range) {
    std::string text(static_cast<std::size_t>(range.length), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::pread(fd, text.data() + done, text.size() - done,
                                    static_cast<off_t>(range.offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return SystemFailure(errno);
        }
        if (got == 0) {
            break;  // cut shorter since it was measured
        }
        done += static_cast<std::size_t>(got);
    }
    text.resize(done);
    return {std::move(text)};
}

// Without RENAME_NOREPLACE (some network file systems), a link cannot replace
// either.
Failure RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return {};
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return SystemFailure(errno);
    }
    if (::link(from.c_str(), to.c_str()) != 0) {
        return SystemFailure(errno);
    }
    ::unlink(from.c_str());
    return {};
}

// The folder's entry for the journal at `path`.
Failure SyncFolderOf(const std::string& path) {
    const std::string folder = path.substr(0, path.rfind('/'));
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid() || ::fsync(fd.get()) != 0) {
        return SystemFailure(errno);
    }
    return {};
}

}  // namespace

std::string DefaultJournalFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/karuneo/journal";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.local/state/karuneo/journal";
    }
    return {};
}

JournalFile::~JournalFile() {
    ::close(static_cast<int>(handle_));
}

// Between the open and the lock, another process's RemoveUnlessHeld may take
// the file: it then holds the lock (kFileAlreadyExists) or has removed the
// name (kPathNotFound at TakeName), and CreateNew starts again.
Result<std::unique_ptr<JournalFile>> JournalFile::CreateUnnamed(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600));
    if (!fd.valid()) {
        return SystemFailure(errno);
    }
    const auto locked = Locked(std::move(fd));
    if (!locked.ok()) {
        if (locked.error() != kFileAlreadyExists) {
            ::unlink(path.c_str());
        }
        return locked.error();
    }
    return {std::unique_ptr<JournalFile>(new JournalFile(path, locked.value()))};
}

Failure JournalFile::TakeName(const std::string& path) {
    if (auto error = RenameWithoutReplacing(path_, path)) {
        return error;
    }
    path_ = path;
    return {};
}

Result<std::unique_ptr<JournalFile>> JournalFile::OpenExisting(const std::string& path) {
    if (auto fault = InjectedFault(StorageStep::kOpen)) {
        return fault;
    }
    Opened opened = OpenRegular(path, O_WRONLY | O_APPEND);
    if (opened.error) {
        return opened.error;
    }
    const auto fd = Locked(std::move(opened.fd));
    if (!fd.ok()) {
        return fd.error();
    }
    auto file = std::unique_ptr<JournalFile>(new JournalFile(path, fd.value()));
    file->folder_synced_ = true;  // its entry is on the disk since its first sync
    return {std::move(file)};
}

Failure JournalFile::Append(std::string_view text) {
    if (auto fault = InjectedFault(StorageStep::kAppend)) {
        return fault;
    }
    const int fd = static_cast<int>(handle_);
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return SystemFailure(written < 0 ? errno : ENOSPC);
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

Failure JournalFile::CutTo(std::uint64_t size) {
    if (::ftruncate(static_cast<int>(handle_), static_cast<off_t>(size)) != 0) {
        return SystemFailure(errno);
    }
    return {};
}

Failure JournalFile::Sync() {
    if (auto fault = InjectedFault(StorageStep::kSync)) {
        return fault;
    }
    if (::fsync(static_cast<int>(handle_)) != 0) {
        return SystemFailure(errno);
    }
    if (folder_synced_) {
        return {};
    }
    if (auto error = SyncFolderOf(path_)) {
        return error;
    }
    folder_synced_ = true;
    return {};
}

// Each journal of a batch is new, and each fdatasync of one ends with a flush
// of the disk's cache (on ext4 without a journal of its own, a write of its
// inode's block too): K journals would cost K flushes. On a local file
// system, when little else waits to be written, one syncfs writes them all
// with one flush. When much does, syncfs would wait for everything other programs have left
// unwritten on that file system (minutes, on a disk another program is filling), and each file is
// synced by itself, its write-back started on every file first, so that a file system that journals
// its metadata allocates them all in the one commit the first fdatasync makes.
Failure JournalFile::SyncTogether(std::span<JournalFile* const> files) {
    if (auto fault = InjectedFault(StorageStep::kSync)) {
        return fault;
    }
    if (files.empty()) {
        return {};
    }
    if (files.size() > 1 && SyncfsCoversEachFile(static_cast<int>(files.front()->handle_)) &&
        LittleWaitsToBeWritten()) {
        if (::syncfs(static_cast<int>(files.front()->handle_)) != 0) {
            return SystemFailure(errno);
        }
        for (JournalFile* file : files) {
            file->folder_synced_ = true;
        }
        return {};
    }
    for (JournalFile* file : files) {
        (void)::sync_file_range(static_cast<int>(file->handle_), 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    bool folder_synced = true;
    for (JournalFile* file : files) {
        if (::fdatasync(static_cast<int>(file->handle_)) != 0) {
            return SystemFailure(errno);
        }
        folder_synced = folder_synced && file->folder_synced_;
    }
    if (folder_synced) {
        return {};
    }
    if (auto error = SyncFolderOf(files.front()->path_)) {
        return error;
    }
    for (JournalFile* file : files) {
        file->folder_synced_ = true;
    }
    return {};
}

bool JournalInUse(const std::string& path) {
    const auto opened = JournalFile::OpenExisting(path);
    return opened.error() == kFileAlreadyExists;
}

Failure RemoveJournal(const std::string& path) {
    if (auto fault = InjectedFault(StorageStep::kRemove)) {
        return fault;
    }
    return ::unlink(path.c_str()) == 0 ? Failure() : SystemFailure(errno);
}

}  // namespace karuneo::journal

namespace karuneo::journal {

std::string AbsolutePath(const std::string& path) {
    if (path.starts_with('/')) {
        return path;
    }
    char* here = ::getcwd(nullptr, 0);
    std::string absolute = here != nullptr ? std::string(here) + "/" + path : path;
    std::free(here);
    return absolute;
}

}  // namespace karuneo::journal

namespace karuneo::journal::native {

Result<std::string> ReadRegularFile(const std::string& path, Span span, std::size_t bytes) {
    const Opened opened = OpenRegular(path, O_RDONLY);
    if (opened.error) {
        return opened.error;
    }
    const auto range = RangeToRead(span, opened.size, bytes);
    if (!range) {
        return SystemFailure(EFBIG);
    }
    return ReadRange(opened.fd.get(), *range);
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The lock tells whether its creator still runs; the name is removed only
// while it still names the file locked.
void RemoveUnlessHeld(const std::string& path) {
    Opened opened = OpenRegular(path, O_RDONLY);
    struct stat held {};
    struct stat named {};
    if (opened.error || ::flock(opened.fd.get(), LOCK_EX | LOCK_NB) != 0 ||
        ::fstat(opened.fd.get(), &held) != 0 || ::lstat(path.c_str(), &named) != 0) {
        return;
    }
    if (held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
        ::unlink(path.c_str());
    }
}

// Each missing folder on the way, for this user only.
Failure MakeFolders(const std::string& folder) {
    if (folder.empty() || folder[0] != '/') {
        return Failure(kPathNotFound);
    }
    for (std::size_t cut = folder.find('/', 1);; cut = folder.find('/', cut + 1)) {
        const std::string part = folder.substr(0, cut);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return SystemFailure(errno);
        }
        if (cut == std::string::npos) {
            return {};
        }
    }
}

char Separator() {
    return '/';
}

}  // namespace karuneo::journal::native
