#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <span>
#include <vector>

#include "engine/error_codes_win32.h"
#include "engine/journal/journal_file.h"
#include "engine/system_code.h"
#include "engine/utf16_win32.h"

namespace karuneo::journal {
namespace {

std::wstring Wide(const std::string& utf8) {
    return win32::Utf16FromUtf8(utf8).value_or(std::wstring());
}

Failure LastFailure() {
    return SystemFailure(static_cast<int>(::GetLastError()));
}

// A file on a disk, and the file itself: FILE_FLAG_OPEN_REPARSE_POINT opened
// a link's own entry, which is refused here. A folder does not open without
// FILE_FLAG_BACKUP_SEMANTICS.
Failure NotRegular(HANDLE handle) {
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        return SystemFailure(ERROR_BAD_FILE_TYPE);
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info)) {
        return LastFailure();
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return SystemFailure(static_cast<int>(win32::kStoppedOnLink));
    }
    return {};
}

struct Opened {
    HANDLE handle = INVALID_HANDLE_VALUE;
    Failure error;
};

Opened OpenRegular(const std::string& path, DWORD access, DWORD sharing, DWORD disposition) {
    HANDLE handle = ::CreateFileW(Wide(path).c_str(), access, sharing, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        return {handle, code == ERROR_SHARING_VIOLATION
                            ? Failure(kFileAlreadyExists, static_cast<int>(code), {})
                            : SystemFailure(static_cast<int>(code))};
    }
    if (auto error = NotRegular(handle)) {
        ::CloseHandle(handle);
        return {INVALID_HANDLE_VALUE, error};
    }
    return {handle, {}};
}

// Others may read it, but none may write it while this process holds it:
// that is the lock a second process meets. DELETE lets the new journal's
// handle give it its name; without FILE_SHARE_DELETE no other process can
// remove it meanwhile.
Opened OpenForAppending(const std::string& path, DWORD disposition) {
    const DWORD access = FILE_APPEND_DATA | (disposition == CREATE_NEW ? DELETE : 0);
    return OpenRegular(path, access, FILE_SHARE_READ, disposition);
}

Result<std::string> ReadRange(HANDLE handle, native::ByteRange range) {
    std::string text(static_cast<std::size_t>(range.length), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        OVERLAPPED at{};
        const std::uint64_t offset = range.offset + done;
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1 << 20));
        DWORD got = 0;
        if (!::ReadFile(handle, text.data() + done, chunk, &got, &at)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            return LastFailure();
        }
        if (got == 0) {
            break;  // cut shorter since it was measured
        }
        done += got;
    }
    text.resize(done);
    return {std::move(text)};
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

Result<std::unique_ptr<JournalFile>> JournalFile::CreateUnnamed(const std::string& path) {
    const Opened opened = OpenForAppending(path, CREATE_NEW);
    if (opened.error) {
        return opened.error;
    }
    return {std::unique_ptr<JournalFile>(
        new JournalFile(path, reinterpret_cast<std::intptr_t>(opened.handle)))};
}

// Through the handle this process holds, so that the name goes to no other
// file; the name is a full one, which the system turns into its own form.
Failure JournalFile::TakeName(const std::string& path) {
    const std::wstring name = Wide(path);
    std::vector<std::byte> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), rename->FileName);
    if (!::SetFileInformationByHandle(reinterpret_cast<HANDLE>(handle_), FileRenameInfo, rename,
                                      static_cast<DWORD>(buffer.size()))) {
        return LastFailure();
    }
    path_ = path;
    return {};
}

// Write access besides, so that a torn last line can be cut off
// (SetEndOfFile asks for it); writes then go where the file pointer is, so it
// is put at the end first.
Result<std::unique_ptr<JournalFile>> JournalFile::OpenExisting(const std::string& path) {
    const Opened opened =
        OpenRegular(path, FILE_APPEND_DATA | FILE_WRITE_DATA, FILE_SHARE_READ, OPEN_EXISTING);
    if (opened.error) {
        return opened.error;
    }
    if (!::SetFilePointerEx(opened.handle, LARGE_INTEGER{}, nullptr, FILE_END)) {
        const Failure error = LastFailure();
        ::CloseHandle(opened.handle);
        return error;
    }
    return {std::unique_ptr<JournalFile>(
        new JournalFile(path, reinterpret_cast<std::intptr_t>(opened.handle)))};
}

Failure JournalFile::Append(std::string_view text) {
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1 << 20));
        if (!::WriteFile(reinterpret_cast<HANDLE>(handle_), text.data(), chunk, &written,
                         nullptr) ||
            written == 0) {
            return LastFailure();
        }
        text.remove_prefix(written);
    }
    return {};
}

Failure JournalFile::CutTo(std::uint64_t size) {
    const HANDLE handle = reinterpret_cast<HANDLE>(handle_);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle)) {
        return LastFailure();
    }
    return {};
}

// Windows keeps a new file's entry with its data; there is no folder to flush.
Failure JournalFile::Sync() {
    if (!::FlushFileBuffers(reinterpret_cast<HANDLE>(handle_))) {
        return LastFailure();
    }
    folder_synced_ = true;
    return {};
}

// Windows syncs a file system only for an administrator: each file is
// flushed by itself.
Failure JournalFile::SyncTogether(std::span<JournalFile* const> files) {
    for (JournalFile* file : files) {
        if (auto error = file->Sync()) {
            return error;
        }
    }
    return {};
}

bool JournalInUse(const std::string& path) {
    return JournalFile::OpenExisting(path).error() == kFileAlreadyExists;
}

Failure RemoveJournal(const std::string& path) {
    return ::DeleteFileW(Wide(path).c_str()) ? Failure() : LastFailure();
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

namespace karuneo::journal::native {

// Shared every way, so that a reader never stands in the way of the process
// that writes, names or removes the journal.
Result<std::string> ReadRegularFile(const std::string& path, Span span, std::size_t bytes) {
    const Opened opened = OpenRegular(
        path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (opened.error) {
        return opened.error;
    }
    LARGE_INTEGER size{};
    Result<std::string> read = std::string();
    if (!::GetFileSizeEx(opened.handle, &size)) {
        read = LastFailure();
    } else if (const auto range =
                   RangeToRead(span, static_cast<std::uint64_t>(size.QuadPart), bytes)) {
        read = ReadRange(opened.handle, *range);
    } else {
        read = SystemFailure(ERROR_FILE_TOO_LARGE);
    }
    ::CloseHandle(opened.handle);
    return read;
}

bool IsRegularFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    const DWORD not_regular =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & not_regular) == 0;
}

// The process that created it opened it without FILE_SHARE_DELETE: while it
// runs, the deletion fails.
void RemoveUnlessHeld(const std::string& path) {
    ::DeleteFileW(Wide(path).c_str());
}

// From the folder up to the first one that exists, so that no root is
// parsed: a drive, a share or a \\?\ path each begin differently.
Failure MakeFolders(const std::string& folder) {
    if (folder.size() < 3) {
        return Failure(kPathNotFound);
    }
    if (::CreateDirectoryW(Wide(folder).c_str(), nullptr)) {
        return {};
    }
    const DWORD code = ::GetLastError();
    const std::size_t parent_end = folder.find_last_of('\\');
    if (code == ERROR_ALREADY_EXISTS) {
        return {};
    }
    if (code != ERROR_PATH_NOT_FOUND || parent_end == std::string::npos || parent_end == 0) {
        return SystemFailure(static_cast<int>(code));
    }
    if (auto error = MakeFolders(folder.substr(0, parent_end))) {
        return error;
    }
    if (!::CreateDirectoryW(Wide(folder).c_str(), nullptr) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS) {
        return LastFailure();
    }
    return {};
}

char Separator() {
    return '\\';
}

}  // namespace karuneo::journal::native
