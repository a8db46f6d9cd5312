#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace karuneo::win32 {

// Puts `text` on the clipboard as Unicode text, each "\n" written as the
// "\r\n" that Windows programs expect of a line end; false when the
// clipboard would not take it (another program holds it open).
bool PutOnClipboard(HWND owner, std::wstring_view text);

}  // namespace karuneo::win32
