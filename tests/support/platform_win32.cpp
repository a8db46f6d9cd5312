#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <system_error>

#include "tests/support/platform.h"

namespace karuneo::testing {
namespace fs = std::filesystem;

fs::path PathFromUtf8(const std::string& text) {
    // Long-form paths ("\\?\") take no "/" for a separator.
    return fs::path(std::u8string(text.begin(), text.end())).make_preferred();
}

std::string GenericUtf8(const fs::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

std::string NativeUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

void HideLikeADotName(const fs::path& entry) {
    const DWORD attributes = ::GetFileAttributesW(entry.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesW(entry.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
    }
}

void SetModifiedTime(const fs::path& entry, fs::file_time_type time) {
    // FILETIME counts 100 ns from 1601; the system clock, from 1970.
    constexpr long long kTicksFrom1601To1970 = 116'444'736'000'000'000LL;
    const auto since_1970 =
        std::chrono::duration_cast<std::chrono::duration<long long, std::ratio<1, 10'000'000>>>(
            std::chrono::file_clock::to_sys(time).time_since_epoch());
    const auto ticks = static_cast<unsigned long long>(since_1970.count() + kTicksFrom1601To1970);
    const FILETIME written{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    HANDLE handle = ::CreateFileW(entry.c_str(), FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool set =
        handle != INVALID_HANDLE_VALUE && ::SetFileTime(handle, nullptr, nullptr, &written);
    const DWORD code = ::GetLastError();
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
    }
    if (!set) {
        throw fs::filesystem_error("cannot set the modification time", entry,
                                   std::error_code(static_cast<int>(code), std::system_category()));
    }
}

long long ModifiedTime(const fs::path& entry) {
    HANDLE handle = ::CreateFileW(entry.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    FILETIME written{};
    const bool read =
        handle != INVALID_HANDLE_VALUE && ::GetFileTime(handle, nullptr, nullptr, &written);
    const DWORD code = ::GetLastError();
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
    }
    if (!read) {
        throw fs::filesystem_error("cannot read the modification time", entry,
                                   std::error_code(static_cast<int>(code), std::system_category()));
    }
    return static_cast<long long>((static_cast<unsigned long long>(written.dwHighDateTime) << 32) |
                                  written.dwLowDateTime);
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

namespace {

long ProcessNumber() {
    return static_cast<long>(::GetCurrentProcessId());
}

long creator = 0;

// Only by the process that made it: a child forked by a test exits too.
void RemoveTestState() {
    if (ProcessNumber() == creator) {
        std::error_code ignored;
        std::filesystem::remove_all(KeepJournalsInTests(), ignored);
    }
}

std::filesystem::path MakeTestState() {
    const auto state = TestTreesFolder() / ("karuneo-state-" + std::to_string(ProcessNumber()));
    std::filesystem::create_directories(state);
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", state.c_str());
    ::_wputenv_s(L"LOCALAPPDATA", state.c_str());
    creator = ProcessNumber();
    std::atexit(&RemoveTestState);
    return state;
}

}  // namespace

const std::filesystem::path& KeepJournalsInTests() {
    // Never destroyed, so that it is still there when the process exits.
    static const auto* state = new std::filesystem::path(MakeTestState());
    return *state;
}

}  // namespace karuneo::testing
