#pragma once

#include <string>
#include <string_view>

#include "engine/error_number.h"

namespace karuneo::win32 {

// An absolute path in the form that lifts the 260-character limit: "C:\x"
// becomes "\\?\C:\x", "\\server\share\x" becomes "\\?\UNC\server\share\x";
// paths that already bypass parsing ("\\?\", "\\.\") stay as they are.
std::wstring LongPathOf(std::wstring_view absolute);

// A bare drive "X:" means that drive's root, not the current folder on it:
// a dropped drive root reaches the engine without its trailing separator.
std::wstring WithDriveRoot(std::wstring_view path);

// The dropped folder's path made absolute (GetFullPathNameW) in long form.
Result<std::wstring> LongRootPath(const std::string& utf8_root);

}  // namespace karuneo::win32
