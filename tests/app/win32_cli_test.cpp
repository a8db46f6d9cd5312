// The Windows tool reads its folders from the UTF-16 command line and prints
// UTF-8, so a name that no ANSI code page can spell makes the round trip.
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

}  // namespace
}  // namespace karuneo
