#pragma once

#include <windows.h>

namespace karuneo::win32 {

// Form1 learns of its moves by putting WindowProc in front of its own window
// procedure: every WM_MOVE calls Form_Move first, and every message then
// goes on to the procedure that was there before. One window only.
void HookWindow(HWND hWnd);
void UnhookWindow(HWND hWnd);
LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

}  // namespace karuneo::win32
