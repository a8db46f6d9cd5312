#pragma once

#include <string>
#include <vector>

namespace karuneo::win32 {

// The paths given after the program's name on `command_line`, in order,
// each made a full path as a drop would give it.
std::vector<std::wstring> StartUpPaths(const wchar_t* command_line);

// The arguments after the program's name as given, in UTF-8.
std::vector<std::string> StartUpArguments(const wchar_t* command_line);

}  // namespace karuneo::win32
