// The Windows tool reads its folders from the UTF-16 command line and prints
// UTF-8, so a name that no ANSI code page can spell makes the round trip; a
// console gets the same text in UTF-16, whatever its code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "engine/utf16_win32.h"
#include "results/rules/status_text.h"
#include "tests/support/temp_tree.h"
#include "tests/support/win32/captured_run.h"
#include "tests/support/win32/sibling_program.h"

namespace karuneo {
namespace {

std::wstring ToolPath() {
    return testing::SiblingProgram(L"karuneo-cli.exe");
}

// Runs the tool with one argument; what it prints to its standard output.
std::string RunTool(const std::wstring& argument) {
    const testing::CapturedRun run =
        testing::RunCaptured(L"\"" + ToolPath() + L"\" \"" + argument + L"\"");
    return run.started ? run.output : "not started";
}

TEST(Win32CliTest, TakesUtf16ArgumentsAndPrintsUtf8) {
    const testing::TempTree tree;
    const std::string dropped = "ドロップ🙂";
    tree.Add({"A/B/𠮷.txt"}, dropped);
    const std::wstring path = win32::Utf16FromUtf8(tree.Path(dropped)).value();
    EXPECT_EQ(RunTool(path), dropped + "\t" + std::string(kStatusDone) + "\r\n");
    EXPECT_EQ(tree.Take(dropped), (testing::Snapshot{{"𠮷.txt", "file:A/B/𠮷.txt"}}));
}

TEST(Win32CliTest, SlashQuestionMarkPrintsTheUsage) {
    const testing::CapturedRun run = testing::RunCaptured(L"\"" + ToolPath() + L"\" /?");
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(run.output.rfind("Usage: karuneo-cli", 0), 0u) << run.output;
}

// Everything the console shows, row after row.
std::wstring ScreenText(HANDLE console) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    ::GetConsoleScreenBufferInfo(console, &info);
    std::wstring text(static_cast<std::size_t>(info.dwSize.X) * info.dwSize.Y, L' ');
    DWORD read = 0;
    ::ReadConsoleOutputCharacterW(console, text.data(), static_cast<DWORD>(text.size()), {0, 0},
                                  &read);
    text.resize(read);
    return text;
}

// A console of its own, in the Japanese code page, that the tool writes to.
class Win32ConsoleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::FreeConsole();
        ASSERT_TRUE(::AllocConsole());
        ASSERT_TRUE(::SetConsoleOutputCP(932));
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        console_ = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0,
                                 nullptr);
        ASSERT_NE(console_, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        ::CloseHandle(console_);
        ::FreeConsole();
    }

    DWORD RunOnConsole(const std::wstring& argument) {
        std::wstring command = L"\"" + ToolPath() + L"\" \"" + argument + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = console_;
        startup.hStdError = console_;
        PROCESS_INFORMATION process{};
        DWORD status = 99;
        if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                             &startup, &process)) {
            ::WaitForSingleObject(process.hProcess, INFINITE);
            ::GetExitCodeProcess(process.hProcess, &status);
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
        }
        return status;
    }

    HANDLE console_ = INVALID_HANDLE_VALUE;
};

TEST_F(Win32ConsoleTest, ShowsJapaneseAndLeavesTheCodePageAsItWas) {
    const testing::TempTree tree;
    tree.Add({"A/f.txt"}, "c2");
    EXPECT_EQ(RunOnConsole(win32::Utf16FromUtf8(tree.Path("c2")).value()), 0u);
    EXPECT_EQ(RunOnConsole(L"--help"), 0u);
    const std::wstring screen = ScreenText(console_);
    EXPECT_NE(screen.find(L"完了"), std::wstring::npos);
    EXPECT_NE(screen.find(L"完了<フォルダは空>"), std::wstring::npos);
    EXPECT_EQ(::GetConsoleOutputCP(), 932u);
}

}  // namespace
}  // namespace karuneo
