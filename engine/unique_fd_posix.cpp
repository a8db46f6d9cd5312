#include "engine/unique_fd_posix.h"

#include <unistd.h>

namespace karuneo::posix {

void UniqueFd::Reset(int fd) {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

}  // namespace karuneo::posix
