#pragma once

namespace karuneo {

// The hourglass for as long as an instance lives, however its scope is left.
class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace karuneo
