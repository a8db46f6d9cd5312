#pragma once

#include <errno.h>
#include <sys/mount.h>

#include <string>

namespace karuneo::testing {

// Unmounts on the way out, whatever the test did, before the tree is removed:
// removing the tree through a mount would empty the mounted folder.
class Mounted {
  public:
    Mounted(const std::string& source, const std::string& target, const char* type,
            unsigned long flags, const char* options = nullptr)
        : target_(target) {
        ok_ = ::mount(source.c_str(), target.c_str(), type, flags, options) == 0;
        error_ = errno;
    }
    // fuse2fs mounts in its own process; the guard only unmounts.
    explicit Mounted(const std::string& target, bool ok) : target_(target), ok_(ok) {}
    ~Mounted() {
        if (ok_ && ::umount2(target_.c_str(), 0) != 0) {
            ::umount2(target_.c_str(), MNT_DETACH);
        }
    }
    Mounted(const Mounted&) = delete;
    Mounted& operator=(const Mounted&) = delete;

    bool ok() const { return ok_; }
    int error() const { return error_; }

  private:
    std::string target_;
    bool ok_ = false;
    int error_ = 0;
};

}  // namespace karuneo::testing
