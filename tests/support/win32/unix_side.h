#pragma once

#include <string>

namespace karuneo::testing {

// Under Wine, what another system leaves on a disk that Windows then reads,
// made from the Linux side: names Windows refuses, and symbolic links, which
// Wine shows as plain folders and files rather than as reparse points.
// Everything here fails under Windows itself.

// The Linux path of a Windows path ("\\?\" or not); empty when there is none.
std::string UnixPath(const std::string& windows_path);

// Runs `script` with /bin/sh on the Linux side, to its end; false when it
// could not be started or did not finish within a minute.
bool RunOnUnixSide(const std::string& script);

// The argument quoted for sh: any bytes but NUL.
std::string ShellQuoted(const std::string& text);

// Removes a test tree from the Linux side when it goes out of scope: a
// removal from Windows would follow a link that it takes for a folder out of
// the tree and empty its target.
class UnixSideCleanUp {
  public:
    explicit UnixSideCleanUp(std::string windows_root) : root_(UnixPath(windows_root)) {}
    ~UnixSideCleanUp() {
        if (!root_.empty()) {
            RunOnUnixSide("rm -rf " + ShellQuoted(root_));
        }
    }
    UnixSideCleanUp(const UnixSideCleanUp&) = delete;
    UnixSideCleanUp& operator=(const UnixSideCleanUp&) = delete;

  private:
    std::string root_;
};

}  // namespace karuneo::testing
