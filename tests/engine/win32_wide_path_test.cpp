#include <gtest/gtest.h>

#include "engine/win32/utf16.h"
#include "engine/win32/wide_path.h"

namespace karuneo::win32 {
namespace {

TEST(Utf16Test, RoundTripsEveryNameWindowsCanHold) {
    const struct {
        std::wstring wide;
        std::string utf8;
    } cases[] = {
        {L"", ""},
        {L"plain.txt", "plain.txt"},
        {L"\u8cc7\u6599", "資料"},
        {L"\U00020BB7\u91ce\u5bb6", "𠮷野家"},  // a surrogate pair, outside Shift-JIS
        {L"\U0001F600 \uD55C\uAD6D\uC5B4", "😀 한국어"},
        {std::wstring(1, wchar_t(0xD800)) + L"x", "\xED\xA0\x80x"},  // a lone surrogate
        {L"a" + std::wstring(1, wchar_t(0xDC00)), "a\xED\xB0\x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(Utf8FromUtf16(c.wide), c.utf8);
        EXPECT_EQ(Utf16FromUtf8(c.utf8), c.wide);
    }
}

TEST(Utf16Test, RefusesBytesThatAreNotUtf8) {
    for (const char* bad : {"\xFF", "a\x80", "\xC0\xAF", "\xE3\x81", "\xF4\x90\x80\x80"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(Utf16FromUtf8(bad).has_value());
    }
}

TEST(WidePathTest, GivesAbsolutePathsTheirLongForm) {
    EXPECT_EQ(LongPathOf(LR"(C:\x\y)"), LR"(\\?\C:\x\y)");
    EXPECT_EQ(LongPathOf(LR"(\\server\share\x)"), LR"(\\?\UNC\server\share\x)");
    EXPECT_EQ(LongPathOf(LR"(\\?\C:\x)"), LR"(\\?\C:\x)");
    EXPECT_EQ(LongPathOf(LR"(\\.\pipe\x)"), LR"(\\.\pipe\x)");
}

TEST(WidePathTest, TakesABareDriveForItsRoot) {
    EXPECT_EQ(WithDriveRoot(L"C:"), LR"(C:\)");
    EXPECT_EQ(WithDriveRoot(L"z:"), LR"(z:\)");
    EXPECT_EQ(WithDriveRoot(L"C:x"), L"C:x");
    EXPECT_EQ(WithDriveRoot(L"1:"), L"1:");
}

}  // namespace
}  // namespace karuneo::win32
