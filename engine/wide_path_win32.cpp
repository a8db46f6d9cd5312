#include "engine/wide_path_win32.h"

#include <windows.h>

#include "engine/system_code.h"
#include "engine/utf16_win32.h"

namespace karuneo::win32 {
namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

}  // namespace

std::wstring LongPathOf(std::wstring_view absolute) {
    if (absolute.starts_with(LR"(\\?\)") || absolute.starts_with(LR"(\\.\)")) {
        return std::wstring(absolute);
    }
    if (absolute.size() >= 2 && IsSeparator(absolute[0]) && IsSeparator(absolute[1])) {
        return LR"(\\?\UNC\)" + std::wstring(absolute.substr(2));
    }
    return LR"(\\?\)" + std::wstring(absolute);
}

std::wstring WithDriveRoot(std::wstring_view path) {
    std::wstring result(path);
    if (result.size() == 2 && IsDriveLetter(result[0]) && result[1] == L':') {
        result += L'\\';
    }
    return result;
}

Result<std::wstring> LongRootPath(const std::string& utf8_root) {
    const auto wide = Utf16FromUtf8(utf8_root);
    if (!wide || wide->empty()) {
        return Failure(kPathNotFound);
    }
    const std::wstring given = WithDriveRoot(*wide);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD needed = ::GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()),
                                                full.data(), nullptr);
        if (needed == 0) {
            return Failure(MeaningOfSystemCode(static_cast<int>(::GetLastError())).number);
        }
        if (needed < full.size()) {
            full.resize(needed);
            return {LongPathOf(full)};
        }
        full.resize(needed);
    }
}

}  // namespace karuneo::win32
