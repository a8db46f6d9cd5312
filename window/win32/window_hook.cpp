#include "window/win32/window_hook.h"

#include "window/win32/form1.h"

namespace karuneo::win32 {
namespace {

WNDPROC PrevWndProc = nullptr;

}  // namespace

void HookWindow(HWND hWnd) {
    PrevWndProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
}

void UnhookWindow(HWND hWnd) {
    if (PrevWndProc != nullptr) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PrevWndProc));
        PrevWndProc = nullptr;
    }
}

LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_MOVE) {
        if (Form1* form = Form1::FromHandle(hWnd)) {
            form->Form_Move();
        }
    }
    return ::CallWindowProcW(PrevWndProc, hWnd, uMsg, wParam, lParam);
}

}  // namespace karuneo::win32
