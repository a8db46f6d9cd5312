#include "window/win32/drop_area.h"

// windows.h first: these rely on its types.
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include "window/win32/drop_target.h"
#include "window/win32/dropped_files.h"

namespace karuneo::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 2;
// Sent along with WM_DROPFILES when files come from another integrity level.
constexpr UINT kCopyGlobalData = 0x0049;

// Windows lets a drop from an elevated Explorer through only as these
// messages, and only when the window says it wants them.
void AllowDropsFromElevatedSources(HWND frame) {
    for (const UINT message :
         {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData}) {
        ::ChangeWindowMessageFilterEx(frame, message, MSGFLT_ALLOW, nullptr);
    }
}

}  // namespace

DropArea::~DropArea() {
    Detach();
}

HWND DropArea::Create(HWND parent, int id, const wchar_t* caption) {
    // Frames clip their siblings so that they never paint over the list,
    // and this one its children, the progress, so that its own painting
    // (the highlight) never covers them.
    frame_ = ::CreateWindowExW(
        0, L"BUTTON", caption,
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | BS_GROUPBOX, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (frame_ == nullptr || !progress_.Create(frame_)) {
        return nullptr;
    }
    ::SetWindowSubclass(frame_, Frame2Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    target_ = new DropTarget([this](bool on) { SetHighlighted(on); },
                             [this](const std::vector<std::wstring>& paths) { on_drop_(paths); });
    ::RegisterDragDrop(frame_, target_);
    ::DragAcceptFiles(frame_, TRUE);
    AllowDropsFromElevatedSources(frame_);
    return frame_;
}

IDropTarget* DropArea::Target() const {
    return target_;
}

LRESULT CALLBACK DropArea::Frame2Proc(HWND frame, UINT message, WPARAM wparam, LPARAM lparam,
                                      UINT_PTR, DWORD_PTR self) {
    auto& area = *reinterpret_cast<DropArea*>(self);
    switch (message) {
        case WM_NCHITTEST:
            // A group box is transparent to the mouse, so no drag would ever
            // find it.
            return HTCLIENT;
        case WM_DROPFILES: {
            const auto files = reinterpret_cast<HDROP>(wparam);
            const std::vector<std::wstring> paths = PathsFromHdrop(files);
            ::DragFinish(files);
            area.on_drop_(paths);
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wparam) == ProgressPanel::kStopButton && HIWORD(wparam) == BN_CLICKED) {
                area.on_stop_();
                return 0;
            }
            break;
        case WM_SIZE:
            area.progress_.Layout();
            break;
        case WM_PAINT: {
            const LRESULT painted = ::DefSubclassProc(frame, message, wparam, lparam);
            area.PaintHighlight();
            return painted;
        }
        case WM_NCDESTROY:
            area.Detach();
            break;
        default:
            break;
    }
    return ::DefSubclassProc(frame, message, wparam, lparam);
}

void DropArea::SetHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    ::InvalidateRect(frame_, nullptr, TRUE);
}

void DropArea::PaintHighlight() const {
    if (!highlighted_) {
        return;
    }
    HDC dc = ::GetDC(frame_);
    RECT inside{};
    ::GetClientRect(frame_, &inside);
    const int thickness = ::MulDiv(3, static_cast<int>(::GetDpiForWindow(frame_)), 96);
    for (int line = 0; line < thickness; ++line) {
        ::FrameRect(dc, &inside, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        ::InflateRect(&inside, -1, -1);
    }
    ::ReleaseDC(frame_, dc);
}

void DropArea::Detach() {
    if (frame_ == nullptr) {
        return;
    }
    ::RevokeDragDrop(frame_);
    ::RemoveWindowSubclass(frame_, Frame2Proc, kSubclassId);
    frame_ = nullptr;
    if (target_ != nullptr) {
        target_->Release();
        target_ = nullptr;
    }
}

}  // namespace karuneo::win32
