#pragma once

#include <windows.h>

namespace karuneo::win32 {

// The hourglass for as long as it lives; the pointer it replaced comes back
// afterwards, however the scope is left.
class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    HCURSOR previous_;
};

}  // namespace karuneo::win32
