#include "tests/reliability/deep_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace karuneo::testing {
namespace {

constexpr int kDepth = 25;
const std::string kPart(199, 'x');

// The deepest folder's handle, or -1; `create` makes the folders on the way.
int OpenDeepest(const std::string& base, bool create) {
    int fd = ::open(base.c_str(), O_DIRECTORY | O_CLOEXEC);
    for (int depth = 0; depth < kDepth && fd >= 0; ++depth) {
        if (create) {
            ::mkdirat(fd, kPart.c_str(), 0755);
        }
        const int child = ::openat(fd, kPart.c_str(), O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = child;
    }
    return fd;
}

void RemoveAt(int fd, int depth) {
    const int child = ::openat(fd, kPart.c_str(), O_DIRECTORY | O_CLOEXEC);
    if (child < 0) {
        return;
    }
    if (depth > 1) {
        RemoveAt(child, depth - 1);
    } else {
        ::unlinkat(child, "A/f", 0);
        ::unlinkat(child, "A", AT_REMOVEDIR);
    }
    ::close(child);
    ::unlinkat(fd, kPart.c_str(), AT_REMOVEDIR);
}

}  // namespace

DeepFolder::DeepFolder(const std::string& base) : base_(base) {
    const int fd = OpenDeepest(base_, true);
    if (fd >= 0) {
        ::mkdirat(fd, "A", 0755);
        ::close(::openat(fd, "A/f", O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        ::close(fd);
    }
}

DeepFolder::~DeepFolder() {
    const int fd = ::open(base_.c_str(), O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        RemoveAt(fd, kDepth);
        ::close(fd);
    }
}

std::string DeepFolder::Path() const {
    std::string path = base_;
    for (int depth = 0; depth < kDepth; ++depth) {
        path += "/" + kPart;
    }
    return path;
}

bool DeepFolder::Intact() const {
    const int fd = OpenDeepest(base_, false);
    struct stat info {};
    const bool intact =
        fd >= 0 && ::fstatat(fd, "A/f", &info, 0) == 0 && ::fstatat(fd, "f", &info, 0) != 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return intact;
}

}  // namespace karuneo::testing
