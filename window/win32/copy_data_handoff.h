#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace karuneo::win32 {

// A second start hands its folders (UTF-8) to the window already running
// as one WM_COPYDATA. True when the window took them; false when it did not
// answer within `timeout_ms`, refused them (it is closing) or is gone.
bool SendFolders(HWND window, const std::vector<std::string>& paths, UINT timeout_ms);

// The folders a WM_COPYDATA carries; nothing when it is not such a message,
// whoever sent it.
std::optional<std::vector<std::string>> ReceivedFolders(const COPYDATASTRUCT& data);

}  // namespace karuneo::win32
