#include <windows.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "engine/journal/journal_file.h"
#include "engine/system_code.h"
#include "engine/utf16_win32.h"

namespace karuneo::journal {
namespace {

std::wstring Wide(const std::string& utf8) {
    return win32::Utf16FromUtf8(utf8).value_or(std::wstring());
}

// From the folder up to the first one that exists, so that no root is
// parsed: a drive, a share or a \\?\ path each begin differently.
Failure MakeFolders(const std::string& folder) {
    if (::CreateDirectoryW(Wide(folder).c_str(), nullptr)) {
        return {};
    }
    const DWORD code = ::GetLastError();
    const std::size_t parent_end = folder.find_last_of('\\');
    if (code == ERROR_ALREADY_EXISTS) {
        return {};
    }
    if (code != ERROR_PATH_NOT_FOUND || parent_end == std::string::npos || parent_end == 0) {
        return SystemFailure(code);
    }
    if (auto error = MakeFolders(folder.substr(0, parent_end))) {
        return error;
    }
    if (!::CreateDirectoryW(Wide(folder).c_str(), nullptr) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS) {
        return SystemFailure(::GetLastError());
    }
    return {};
}

std::string NewName() {
    SYSTEMTIME utc;
    ::GetSystemTime(&utc);
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    thread_local std::mt19937 random(std::random_device{}());
    char name[96];
    std::snprintf(name, sizeof name, "%04u%02u%02u-%02u%02u%02u-%06lld-%lu-%08x.journal", utc.wYear,
                  utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond,
                  static_cast<long long>(micros % 1'000'000),
                  static_cast<unsigned long>(::GetCurrentProcessId()),
                  static_cast<unsigned>(random()));
    return name;
}

// Others may read it, but none may write it while this process holds it:
// that is the lock a second process meets.
Result<std::intptr_t> Opened(const std::string& path, DWORD disposition) {
    HANDLE handle = ::CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        return {0, code == ERROR_SHARING_VIOLATION
                       ? Failure(kFileAlreadyExists, static_cast<int>(code), {})
                       : SystemFailure(code)};
    }
    return {reinterpret_cast<std::intptr_t>(handle)};
}

}  // namespace

std::string DefaultJournalFolder() {
    const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || local[0] == L'\0') {
        return {};
    }
    return win32::Utf8FromUtf16(local) + "\\karuneo\\journal";
}

JournalFile::~JournalFile() {
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

Result<std::unique_ptr<JournalFile>> JournalFile::CreateNew(const std::string& folder) {
    if (folder.size() < 3) {
        return {nullptr, Failure(kPathNotFound)};
    }
    if (auto error = MakeFolders(folder)) {
        return {nullptr, error};
    }
    const std::string path = folder + "\\" + NewName();
    const auto handle = Opened(path, CREATE_NEW);
    if (!handle.ok()) {
        return {nullptr, handle.error};
    }
    return {std::unique_ptr<JournalFile>(new JournalFile(path, handle.value))};
}

Result<std::unique_ptr<JournalFile>> JournalFile::OpenExisting(const std::string& path) {
    const auto handle = Opened(path, OPEN_EXISTING);
    if (!handle.ok()) {
        return {nullptr, handle.error};
    }
    return {std::unique_ptr<JournalFile>(new JournalFile(path, handle.value))};
}

Failure JournalFile::Append(std::string_view text) {
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1 << 20));
        if (!::WriteFile(reinterpret_cast<HANDLE>(handle_), text.data(), chunk, &written,
                         nullptr) ||
            written == 0) {
            return SystemFailure(::GetLastError());
        }
        text.remove_prefix(written);
    }
    return {};
}

// Windows keeps a new file's entry with its data; there is no folder to flush.
Failure JournalFile::Sync() {
    if (!::FlushFileBuffers(reinterpret_cast<HANDLE>(handle_))) {
        return SystemFailure(::GetLastError());
    }
    folder_synced_ = true;
    return {};
}

bool JournalInUse(const std::string& path) {
    return JournalFile::OpenExisting(path).error == kFileAlreadyExists;
}

std::string AbsolutePath(const std::string& path) {
    const std::wstring wide = Wide(path);
    const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return path;
    }
    full.resize(length);
    return win32::Utf8FromUtf16(full);
}

}  // namespace karuneo::journal
