#include "engine/display_text.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/named_cases.h"

namespace karuneo {
namespace {

// U+FFFD, what each invalid part of a name is shown as.
const std::string kReplacement = "\xEF\xBF\xBD";

const testing::TextCase kCases[] = {
    {"Empty", "", ""},
    {"Plain", "plain.txt", "plain.txt"},
    {"JapaneseAndEmoji", "写真 😀", "写真 😀"},
    {"InvalidByteInside",
     "a\xFF"
     "b",
     "a" + kReplacement + "b"},
    {"CutShortAtTheEnd", "\xC3", kReplacement},
    {"ThreeByteFormCutShortCountsOnce",
     "\xE3\x81"
     "x",
     kReplacement + "x"},
    {"OverlongBothBytesInvalid", "\xC0\xAF", kReplacement + kReplacement},
    {"Surrogate", "\xED\xA0\x80", kReplacement + kReplacement + kReplacement},
    {"PastTheLastCodePoint", "\xF4\x90\x80\x80",
     kReplacement + kReplacement + kReplacement + kReplacement},
    {"LoneContinuationBytes", "\x80\x80", kReplacement + kReplacement},
};

using ToDisplayTextTest = testing::TextCaseTest;

TEST_P(ToDisplayTextTest, KeepsValidTextAndReplacesEachInvalidSubpartOnce) {
    EXPECT_EQ(ToDisplayText(GetParam().given), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ToDisplayTextTest, ::testing::ValuesIn(kCases),
                         testing::CaseName());

}  // namespace
}  // namespace karuneo
