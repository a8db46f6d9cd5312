// What the command line and the windows show of a name: one line, in the
// order it is stored, whatever it holds.
#include "results/rules/escaped_text.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/named_cases.h"

namespace karuneo {
namespace {

const testing::TextCase kEscapeCases[] = {
    {"NewLine", "new\nline", "new\\nline"},
    {"TabAndCarriageReturn", "tab\tcr\r", "tab\\tcr\\r"},
    {"Escape", "\x1b[31mred", "\\x1b[31mred"},
    {"NulAndDelete", std::string("nul\0del\x7f", 8), "nul\\x00del\\x7f"},
    {"NextLine", "next\xc2\x85line", "next\\u0085line"},
    {"Backslash", "back\\slash", "back\\\\slash"},
    {"PrintableTextStays", "日本語 ü", "日本語 ü"},
    {"LineAndParagraphSeparators", "a\u2028b\u2029c", "a\\u2028b\\u2029c"},
    {"DirectionOverride", "\u202egpj.exe", "\\u202egpj.exe"},
    {"DirectionIsolatesAndMarks", "\u2066x\u2069\u200f\u061c", "\\u2066x\\u2069\\u200f\\u061c"},
    {"NeighboursOfTheMarksStay", "\u2027\u2030\u2065\u206a\u2010",
     "\u2027\u2030\u2065\u206a\u2010"},
};

using EscapeControlsTest = testing::TextCaseTest;

TEST_P(EscapeControlsTest, ShowsControlCharactersAndBackslashesEscaped) {
    EXPECT_EQ(EscapeControls(GetParam().given), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, EscapeControlsTest, ::testing::ValuesIn(kEscapeCases),
                         testing::CaseName());

// The windows escape the same characters, keep backslashes, and show bytes
// that are no UTF-8 as U+FFFD.
const testing::TextCase kWindowCases[] = {
    {"WindowsPathKeepsSingleBackslashes", "C:\\users\\me\\D", "C:\\users\\me\\D"},
    {"ControlsEscaped", "a\tb\nc", "a\\tb\\nc"},
    {"DirectionOverrideEscaped", "x\u202eexe.txt", "x\\u202eexe.txt"},
    {"NoUtf8", "a\xff\xc2", "a\uFFFD\uFFFD"},
    {"BrokenMarkStaysBroken", "\xe2\x80", "\uFFFD"},
};

using ShownInWindowTest = testing::TextCaseTest;

TEST_P(ShownInWindowTest, EscapesWhatTheCommandLineEscapesButBackslashes) {
    EXPECT_EQ(ShownInWindow(GetParam().given), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ShownInWindowTest, ::testing::ValuesIn(kWindowCases),
                         testing::CaseName());

}  // namespace
}  // namespace karuneo
