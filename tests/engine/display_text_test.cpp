#include "engine/display_text.h"

#include <gtest/gtest.h>

namespace karuneo {
namespace {

TEST(ToDisplayTextTest, KeepsValidTextAndReplacesEachInvalidSubpartOnce) {
    const std::string r = "\xEF\xBF\xBD";
    const struct {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"", ""},
        {"plain.txt", "plain.txt"},
        {"写真 😀", "写真 😀"},
        {"a\xFF"
         "b",
         "a" + r + "b"},
        {"\xC3", r},  // cut short at the end
        {"\xE3\x81"
         "x",
         r + "x"},                            // a three-byte form cut short counts once
        {"\xC0\xAF", r + r},                  // overlong: both bytes are invalid
        {"\xED\xA0\x80", r + r + r},          // a surrogate
        {"\xF4\x90\x80\x80", r + r + r + r},  // past U+10FFFF
        {"\x80\x80", r + r},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(ToDisplayText(c.bytes), c.shown);
    }
}

}  // namespace
}  // namespace karuneo
