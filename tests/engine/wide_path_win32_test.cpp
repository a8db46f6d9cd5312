#include "engine/wide_path_win32.h"

#include <gtest/gtest.h>

#include "engine/utf16_win32.h"
#include "tests/support/named_cases.h"

namespace karuneo::win32 {
namespace {

struct NameCase {
    const char* name;
    std::wstring wide;
    std::string utf8;
};

const NameCase kNames[] = {
    {"Empty", L"", ""},
    {"Plain", L"plain.txt", "plain.txt"},
    {"Japanese", L"\u8cc7\u6599", "資料"},
    {"SurrogatePairOutsideShiftJis", L"\U00020BB7\u91ce\u5bb6", "𠮷野家"},
    {"EmojiAndKorean", L"\U0001F600 \uD55C\uAD6D\uC5B4", "😀 한국어"},
    {"LoneHighSurrogate", std::wstring(1, wchar_t(0xD800)) + L"x", "\xED\xA0\x80x"},
    {"LoneLowSurrogate", L"a" + std::wstring(1, wchar_t(0xDC00)), "a\xED\xB0\x80"},
};

class Utf16RoundTripTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(Utf16RoundTripTest, RoundTripsEveryNameWindowsCanHold) {
    EXPECT_EQ(Utf8FromUtf16(GetParam().wide), GetParam().utf8);
    EXPECT_EQ(Utf16FromUtf8(GetParam().utf8), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(Names, Utf16RoundTripTest, ::testing::ValuesIn(kNames),
                         testing::CaseName());

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
