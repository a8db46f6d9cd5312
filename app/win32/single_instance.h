#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace karuneo::win32 {

// One window per user and session: the first karuneo.exe claims a mutex
// named after the user and publishes its window; a later one hands its
// folders to that window and ends.
class SingleInstance {
  public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process is the one to open the window, and from then
    // on until it ends.
    bool Claim();
    // Lets later starts find `window`; only after a successful Claim.
    void Publish(HWND window);
    // The window the first start published, or nothing.
    HWND FirstWindow() const;

  private:
    std::wstring name_;
    HANDLE mutex_ = nullptr;
    HANDLE published_ = nullptr;
    bool claimed_ = false;
};

enum class Start { kOpenWindow, kHandedOver };

// Claims the window, or hands `folders` (UTF-8; none only brings it to the
// front) to the first start's. Two starts at the same moment: the one that
// lost waits until the other's window is up. A first start that neither
// ends nor answers within seconds gets a second window rather than the
// folders being lost.
Start ClaimOrHandOver(SingleInstance& instance, const std::vector<std::string>& folders);

}  // namespace karuneo::win32
