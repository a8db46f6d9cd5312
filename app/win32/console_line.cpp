#include "app/win32/console_line.h"

#include <windows.h>

#include <string>

#include "engine/utf16_win32.h"

namespace karuneo::win32 {
namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return ::GetConsoleMode(handle, &mode) != 0;
}

bool WriteToConsole(HANDLE console, std::string_view line) {
    const std::wstring wide = Utf16FromUtf8(line).value_or(L"?") + L"\r\n";
    DWORD written = 0;
    return ::WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written,
                           nullptr) != 0;
}

bool WriteBytes(HANDLE file, std::string_view line) {
    std::string bytes;
    for (const char c : line) {
        bytes += c == '\n' ? std::string_view("\r\n") : std::string_view(&c, 1);
    }
    bytes += "\r\n";
    DWORD written = 0;
    return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) !=
           0;
}

// The console of the program that started this one (a command prompt), for
// both streams, as a console shows them together. Explorer gives none.
HANDLE ParentConsole() {
    if (::AttachConsole(ATTACH_PARENT_PROCESS) == 0 &&
        ::GetLastError() != ERROR_ACCESS_DENIED) {  // denied: attached already
        return INVALID_HANDLE_VALUE;
    }
    return ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
}

}  // namespace

bool PrintLine(std::string_view line, Stream stream) {
    const DWORD which = stream == Stream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE;
    const HANDLE given = ::GetStdHandle(which);
    if (given != nullptr && given != INVALID_HANDLE_VALUE &&
        ::GetFileType(given) != FILE_TYPE_UNKNOWN) {
        if (IsConsole(given) ? WriteToConsole(given, line) : WriteBytes(given, line)) {
            return true;
        }
    }
    const HANDLE console = ParentConsole();
    if (console == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool written = WriteToConsole(console, line);
    ::CloseHandle(console);
    return written;
}

}  // namespace karuneo::win32
