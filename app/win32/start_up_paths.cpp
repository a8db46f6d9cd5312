#include "app/win32/start_up_paths.h"

#include <windows.h>
// windows.h first: shellapi.h relies on its types.
#include <shellapi.h>

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

}  // namespace

std::vector<std::wstring> StartUpPaths(const wchar_t* command_line) {
    std::vector<std::wstring> paths;
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(command_line, &count);
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        paths.push_back(FullPath(arguments[i]));
    }
    ::LocalFree(arguments);
    return paths;
}

}  // namespace karuneo::win32
