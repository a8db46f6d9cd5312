// Tips and the 詳細 box stay within the screen however long a reason is.
#include "results/rules/bounded_text.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "tests/support/named_cases.h"

namespace karuneo {
namespace {

struct BoundCase {
    const char* name;
    std::string given;
    std::size_t columns;
    std::size_t max_lines;
    std::string expected;
};

const BoundCase kCases[] = {
    {"ShortTextStays", "フォルダは空です。", 80, 12, "フォルダは空です。"},
    {"BreaksAtTheLastSpaceThatFits", "aaaa bbbb cccc", 9, 12, "aaaa bbbb\ncccc"},
    {"SpacesAtABreakGo", "aaaa   bbbb", 6, 12, "aaaa\nbbbb"},
    {"BreaksAfterAPathSeparator", "/home/me/folder/sub", 10, 12, "/home/me/\nfolder/sub"},
    {"WindowsSeparatorToo", "C:\\users\\me\\D", 9, 12, "C:\\users\\\nme\\D"},
    {"ALongNameBreaksAnywhere", "abcdefghijkl", 5, 12, "abcde\nfghij\nkl"},
    {"WideCharactersTakeTwoColumns", "あいうえお", 4, 12, "あい\nうえ\nお"},
    {"LineBreaksOfTheTextStay", "/x/D\nwhy", 80, 12, "/x/D\nwhy"},
    {"LinesBeyondTheLastAreCut", "1\n2\n3\n4", 80, 2, "1\n2…"},
    {"AFullLastLineMakesRoomForTheMark", "abcde\nfghij\nk", 5, 2, "abcde\nfghi…"},
    {"AWideCharacterMakesRoomWhole", "あいう\nえお", 4, 1, "あ…"},
};

class BoundedTextTest : public ::testing::TestWithParam<BoundCase> {};

TEST_P(BoundedTextTest, WrapsAndCuts) {
    const BoundCase& c = GetParam();
    EXPECT_EQ(BoundedText(c.given, c.columns, c.max_lines), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, BoundedTextTest, ::testing::ValuesIn(kCases), testing::CaseName());

// A reason naming 3 000 entries made a box taller than any screen.
TEST(BoundedTextLimitsTest, AReasonNamingThousandsOfEntriesFitsATip) {
    std::string reason = "項目が 3,000 個(";
    for (int entry = 0; entry < 3000; ++entry) {
        reason += "「entry" + std::to_string(entry) + "」、";
    }
    reason += ")あります。";
    const std::string tip = BoundedText("/home/me/D\n" + reason, kTipColumns, kTipLines);
    std::size_t lines = 1;
    std::size_t characters = 0;
    for (const char c : tip) {
        lines += c == '\n' ? 1 : 0;
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    EXPECT_EQ(lines, kTipLines);
    EXPECT_TRUE(tip.ends_with("…"));
    // Each line break becomes two characters in a Windows tip.
    EXPECT_LT(characters + lines, 1024U);
}

}  // namespace
}  // namespace karuneo
