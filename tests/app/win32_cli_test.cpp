// The Windows tool reads its folders from the UTF-16 command line and prints
// UTF-8, so a name that no ANSI code page can spell makes the round trip.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "engine/utf16_win32.h"
#include "results/rules/status_text.h"
#include "tests/support/temp_tree.h"
#include "tests/support/win32/sibling_program.h"

namespace karuneo {
namespace {

std::wstring ToolPath() {
    return testing::SiblingProgram(L"karuneo-cli.exe");
}

void ReadAll(HANDLE from, std::string& into) {
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(from, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        into.append(buffer, got);
    }
}

// Runs the tool with one argument; what it prints to its standard output.
std::string RunTool(const std::wstring& argument) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!::CreatePipe(&read, &write, &inherited, 0)) {
        return "no pipe";
    }
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + ToolPath() + L"\" \"" + argument + L"\"";
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &startup, &process);
    ::CloseHandle(write);
    std::string output = started ? "" : "not started";
    if (started) {
        ReadAll(read, output);
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(read);
    return output;
}

TEST(Win32CliTest, TakesUtf16ArgumentsAndPrintsUtf8) {
    const testing::TempTree tree;
    const std::string dropped = "ドロップ🙂";
    tree.Add({"A/B/𠮷.txt"}, dropped);
    const std::wstring path = win32::Utf16FromUtf8(tree.Path(dropped)).value();
    EXPECT_EQ(RunTool(path), dropped + "\t" + std::string(kStatusDone) + "\r\n");
    EXPECT_EQ(tree.Take(dropped), (testing::Snapshot{{"𠮷.txt", "file:A/B/𠮷.txt"}}));
}

}  // namespace
}  // namespace karuneo
