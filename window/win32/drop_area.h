#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "window/win32/progress_panel.h"

struct IDropTarget;

namespace karuneo::win32 {

class DropTarget;

// Frame2, the group box that takes dropped folders: an OLE drop target for
// drags from the shell and WM_DROPFILES for the older way, both handing the
// paths to one handler. It is highlighted while a drag carrying files is
// over it, and holds the progress of the work while there is some.
class DropArea {
  public:
    using Handler = std::function<void(const std::vector<std::wstring>&)>;
    using StopHandler = std::function<void()>;

    DropArea(Handler on_drop, StopHandler on_stop)
        : on_drop_(std::move(on_drop)), on_stop_(std::move(on_stop)) {}
    DropArea(const DropArea&) = delete;
    DropArea& operator=(const DropArea&) = delete;
    ~DropArea();

    HWND Create(HWND parent, int id, const wchar_t* caption);
    HWND Handle() const { return frame_; }
    bool IsHighlighted() const { return highlighted_; }
    IDropTarget* Target() const;
    ProgressPanel& Progress() { return progress_; }
    const ProgressPanel& Progress() const { return progress_; }

  private:
    static LRESULT CALLBACK Frame2Proc(HWND frame, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR self);
    void SetHighlighted(bool highlighted);
    void PaintHighlight() const;
    void Detach();

    Handler on_drop_;
    StopHandler on_stop_;
    ProgressPanel progress_;
    HWND frame_ = nullptr;
    DropTarget* target_ = nullptr;
    bool highlighted_ = false;
};

}  // namespace karuneo::win32
