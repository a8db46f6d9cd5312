#pragma once

#include <windows.h>
// windows.h first: shellapi.h relies on its types.
#include <shellapi.h>

#include <string>
#include <vector>

namespace karuneo::win32 {

// The full paths of a shell file list, in the order the drag source listed
// them, of any length.
std::vector<std::wstring> PathsFromHdrop(HDROP files);

// What a drop reports back to its source: a copy when the source allows it,
// else a link, never a move. A source told "moved" may delete what it
// dragged, and this program has only rearranged it.
DWORD HarmlessEffect(DWORD offered);

}  // namespace karuneo::win32
