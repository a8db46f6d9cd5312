// karuneo-cli.exe itself, started as Explorer's "send to" would: archives
// named in Japanese, holding Japanese names, come out beside them unwrapped.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "engine/utf16_win32.h"
#include "tests/engine/extract/archive_maker.h"
#include "tests/support/temp_tree.h"
#include "tests/support/win32/captured_run.h"
#include "tests/support/win32/sibling_program.h"

namespace karuneo {
namespace {

using testing::ArchivedEntry;

TEST(Win32CliExtract, JapaneseNamesComeOutUnwrappedFromAZipAndATarGz) {
    for (const std::string format : {"zip", "tar.gz"}) {
        SCOPED_TRACE(format);
        const testing::TempTree tree;
        const std::string archive = "資料." + format;
        testing::MakeArchive(tree.Path(archive), format,
                             {{"資料/", 'd', {}, {}, 0755},
                              {"資料/報告書.txt", 'f', "報告", {}, 0644},
                              {"資料/画像/写真🙂.jpg", 'f', "写真", {}, 0644}});
        const std::wstring path = win32::Utf16FromUtf8(tree.Path(archive)).value();
        const testing::CapturedRun run = testing::RunCaptured(
            L"\"" + testing::SiblingProgram(L"karuneo-cli.exe") + L"\" -x \"" + path + L"\"");
        EXPECT_EQ(run.status, 0u) << run.output;
        EXPECT_NE(run.output.find(archive + "\t完了\r\n"), std::string::npos) << run.output;
        EXPECT_EQ(tree.Take("資料"), (testing::Snapshot{{"報告書.txt", "file:報告"},
                                                        {"画像", "dir"},
                                                        {"画像/写真🙂.jpg", "file:写真"}}));
    }
}

}  // namespace
}  // namespace karuneo
