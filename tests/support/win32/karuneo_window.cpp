#include "tests/support/win32/karuneo_window.h"

// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

namespace karuneo::testing {

int ListedRows(DWORD thread) {
    int rows = 0;
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM counted) {
            if (HWND list = ::FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr)) {
                *reinterpret_cast<int*>(counted) +=
                    static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&rows));
    return rows;
}

void CloseWindowsOf(DWORD thread) {
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM) {
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        },
        0);
}

}  // namespace karuneo::testing
