#pragma once

#include <windows.h>

#include <string>

namespace karuneo::win32 {

// 詳細: a row's details in a modal box that fits the work area of the
// monitor its owner is on, however long the text (a message box grows with
// its text, past the screen, its OK out of reach); a long text scrolls in a
// read-only edit control, selectable, above an OK. Returns once closed.
void ShowDetails(HWND owner, const std::wstring& title, const std::wstring& text);

}  // namespace karuneo::win32
