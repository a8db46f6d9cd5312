#include "tests/support/win32/unix_side.h"

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "engine/utf16_win32.h"

namespace karuneo::testing {
namespace {

// Wine's own export; its result comes from the process heap.
using UnixFileName = char*(CDECL*)(const wchar_t*);

// Wine passes the command line to a Unix program split as Windows would:
// the script goes in a file in the host's /tmp (drive Z: is the host's
// root), so that its quotes need no second quoting.
std::string ScriptFile() {
    return R"(Z:\tmp\karuneo-unix-side-)" + std::to_string(::GetCurrentProcessId()) + ".sh";
}

}  // namespace

std::string UnixPath(const std::string& windows_path) {
    const auto convert = reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    const std::string plain =
        windows_path.starts_with(R"(\\?\)") ? windows_path.substr(4) : windows_path;
    const auto wide = win32::Utf16FromUtf8(plain);
    if (convert == nullptr || !wide) {
        return {};
    }
    char* unix_path = convert(wide->c_str());
    if (unix_path == nullptr) {
        return {};
    }
    std::string path(unix_path);
    ::HeapFree(::GetProcessHeap(), 0, unix_path);
    return path;
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string(R"('\'')") : std::string(1, c);
    }
    return quoted + "'";
}

// Wine hands a Unix program a process of its own that ends at once: the
// script's last act, a file of its own, tells that it has finished.
bool RunOnUnixSide(const std::string& script) {
    const std::string file = ScriptFile();
    const std::wstring done = win32::Utf16FromUtf8(file + ".done").value();
    ::DeleteFileW(done.c_str());
    std::ofstream(std::filesystem::path(win32::Utf16FromUtf8(file).value()), std::ios::binary)
        << script << "\n: > " << ShellQuoted(UnixPath(file + ".done")) << '\n';
    std::wstring command = L"sh " + win32::Utf16FromUtf8(UnixPath(file)).value_or(L"");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(LR"(Z:\bin\sh)", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
        return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    bool finished = false;
    for (int waited_ms = 0; !finished && waited_ms < 60'000; waited_ms += 10) {
        ::Sleep(10);
        finished = ::GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    ::DeleteFileW(done.c_str());
    ::DeleteFileW(win32::Utf16FromUtf8(file).value().c_str());
    return finished;
}

}  // namespace karuneo::testing
