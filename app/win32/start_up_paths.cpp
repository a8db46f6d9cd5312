#include "app/win32/start_up_paths.h"

#include <windows.h>
// windows.h first: shellapi.h relies on its types.
#include <shellapi.h>

#include "engine/utf16_win32.h"

namespace karuneo::win32 {
namespace {

// Relative paths are taken from the current folder now, before anything
// could change it; a path that cannot be made full stays as given.
std::wstring FullPath(const std::wstring& path) {
    const DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) {
        return path;
    }
    std::wstring full(length, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) {
        return path;
    }
    full.resize(written);
    return full;
}

// Split as every Windows program splits its command line, the name dropped.
std::vector<std::wstring> Arguments(const wchar_t* command_line) {
    std::vector<std::wstring> arguments;
    int count = 0;
    wchar_t** split = ::CommandLineToArgvW(command_line, &count);
    for (int i = 1; split != nullptr && i < count; ++i) {
        arguments.emplace_back(split[i]);
    }
    ::LocalFree(split);
    return arguments;
}

}  // namespace

std::vector<std::wstring> StartUpPaths(const wchar_t* command_line) {
    std::vector<std::wstring> paths;
    for (const std::wstring& argument : Arguments(command_line)) {
        paths.push_back(FullPath(argument));
    }
    return paths;
}

std::vector<std::string> StartUpArguments(const wchar_t* command_line) {
    std::vector<std::string> arguments;
    for (const std::wstring& argument : Arguments(command_line)) {
        arguments.push_back(Utf8FromUtf16(argument));
    }
    return arguments;
}

}  // namespace karuneo::win32
