#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <utility>

#include "engine/error_number.h"
#include "engine/journal/journal_file.h"
#include "engine/system_code.h"

namespace karuneo::journal {
namespace {

// Each missing folder on the way, for this user only.
Failure MakeFolders(const std::string& folder) {
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

// UTC time to the microsecond, then the process and a random number: names
// sort in the order the runs began.
std::string NewName() {
    const auto now = std::chrono::system_clock::now();
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(micros / 1'000'000);
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    thread_local std::mt19937 random(std::random_device{}());
    char name[96];
    std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d-%06lld-%ld-%08x.journal",
                  utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                  utc.tm_sec, static_cast<long long>(micros % 1'000'000),
                  static_cast<long>(::getpid()), static_cast<unsigned>(random()));
    return name;
}

// Locked for as long as this process holds it open.
Result<int> Locked(int fd) {
    if (fd < 0) {
        return {-1, SystemFailure(errno)};
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int saved = errno;
        ::close(fd);
        return {-1, saved == EWOULDBLOCK ? Failure(kFileAlreadyExists, saved, {})
                                         : SystemFailure(saved)};
    }
    return {fd};
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

Result<std::unique_ptr<JournalFile>> JournalFile::CreateNew(const std::string& folder) {
    if (folder.empty() || folder[0] != '/') {
        return {nullptr, Failure(kPathNotFound)};
    }
    if (auto error = MakeFolders(folder)) {
        return {nullptr, error};
    }
    const std::string path = folder + "/" + NewName();
    const auto fd =
        Locked(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600));
    if (!fd.ok()) {
        return {nullptr, fd.error};
    }
    return {std::unique_ptr<JournalFile>(new JournalFile(path, fd.value))};
}

Result<std::unique_ptr<JournalFile>> JournalFile::OpenExisting(const std::string& path) {
    const auto fd = Locked(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (!fd.ok()) {
        return {nullptr, fd.error};
    }
    auto file = std::unique_ptr<JournalFile>(new JournalFile(path, fd.value));
    file->folder_synced_ = true;  // its entry is on the disk since its first sync
    return {std::move(file)};
}

Failure JournalFile::Append(std::string_view text) {
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

Failure JournalFile::Sync() {
    if (::fsync(static_cast<int>(handle_)) != 0) {
        return SystemFailure(errno);
    }
    if (folder_synced_) {
        return {};
    }
    const std::string folder = path_.substr(0, path_.rfind('/'));
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int saved = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        return SystemFailure(saved);
    }
    ::close(fd);
    folder_synced_ = true;
    return {};
}

bool JournalInUse(const std::string& path) {
    const auto opened = JournalFile::OpenExisting(path);
    return opened.error == kFileAlreadyExists;
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
