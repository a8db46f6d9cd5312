#pragma once

#include <windows.h>

namespace karuneo::win32 {

// A length of the design, drawn at 96 dots per inch, on `window`'s screen.
inline int DpiScaled(int pixels_at_96, HWND window) {
    return ::MulDiv(pixels_at_96, static_cast<int>(::GetDpiForWindow(window)), 96);
}

}  // namespace karuneo::win32
