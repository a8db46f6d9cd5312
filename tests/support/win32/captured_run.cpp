#include "tests/support/win32/captured_run.h"

namespace karuneo::testing {
namespace {

void ReadAll(HANDLE from, std::string& into) {
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(from, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        into.append(buffer, got);
    }
}

}  // namespace

CapturedRun RunCaptured(std::wstring command_line) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    CapturedRun run;
    if (!::CreatePipe(&read, &write, &inherited, 0)) {
        return run;
    }
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
    PROCESS_INFORMATION process{};
    run.started = ::CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   nullptr, &startup, &process);
    // Our copy of the writing end closed, the read ends when the child's does.
    ::CloseHandle(write);
    if (run.started) {
        ReadAll(read, run.output);
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::GetExitCodeProcess(process.hProcess, &run.status);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(read);
    return run;
}

}  // namespace karuneo::testing
