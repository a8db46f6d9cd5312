#pragma once

#include <windows.h>

struct ITaskbarList3;

namespace karuneo::win32 {

// The progress on the window's taskbar button. The button can be reached
// only once Explorer says it exists (the registered TaskbarButtonCreated
// message); without a taskbar (Wine, a shell that has none) every call does
// nothing.
class TaskbarProgress {
  public:
    TaskbarProgress() = default;
    TaskbarProgress(const TaskbarProgress&) = delete;
    TaskbarProgress& operator=(const TaskbarProgress&) = delete;
    ~TaskbarProgress();

    // The message that says the button exists; lets it through to `window`
    // even when the window runs with more rights than Explorer.
    static UINT ListenForButton(HWND window);
    // Called on that message: reaches the button, again if Explorer restarted.
    void Connect(HWND window);
    bool Connected() const { return list_ != nullptr; }

    // `total` 0 while it is not known yet: a marquee. A failed folder turns it red.
    void Show(long long moved, long long total, bool failed);
    void Clear();

  private:
    void Disconnect();

    ITaskbarList3* list_ = nullptr;
    HWND window_ = nullptr;
};

}  // namespace karuneo::win32
