#include <windows.h>

#include <system_error>

#include "tests/support/platform.h"

namespace karuneo::testing {
namespace fs = std::filesystem;

void HideLikeADotName(const fs::path& entry) {
    const DWORD attributes = ::GetFileAttributesW(entry.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesW(entry.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
    }
}

fs::path TestTreesFolder() {
    const std::wstring absolute = fs::absolute(fs::temp_directory_path()).wstring();
    return absolute.starts_with(LR"(\\?\)") ? fs::path(absolute) : fs::path(LR"(\\?\)" + absolute);
}

bool CanCreateLinks() {
    static const bool can = [] {
        const fs::path probe = fs::temp_directory_path() / "karuneo-link-probe";
        std::error_code error;
        fs::remove(probe, error);
        fs::create_symlink("nowhere", probe, error);
        const bool created = !error;
        fs::remove(probe, error);
        return created;
    }();
    return can;
}

bool RunsUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace karuneo::testing
