// One window per user and display: every spelling of a display must give the
// socket of the window already open on it, and another display another one.
#include "window/rules/display_key.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/named_cases.h"

namespace karuneo {
namespace {

struct KeyCase {
    const char* name;
    const char* wayland;
    const char* x;
    std::string expected;
};

const KeyCase kKeyCases[] = {
    {"LocalDisplay", "", ":62", "x-62"},
    {"ItsScreen", "", ":62.0", "x-62"},
    {"AnotherScreenOfIt", "", ":62.1", "x-62"},
    {"UnixSocketHost", "", "unix:62", "x-62"},
    {"Localhost", "", "localhost:62.0", "x-62"},
    {"LoopbackAddress", "", "127.0.0.1:62", "x-62"},
    {"IPv6Loopback", "", "[::1]:62", "x-62"},
    {"ProtocolGiven", "", "unix/:62", "x-62"},
    {"TcpToThisMachine", "", "tcp/localhost:62", "x-62"},
    {"OwnName", "", "kobo:62", "x-62"},
    {"OwnNameInAnyCase", "", "KOBO:62.0", "x-62"},
    {"OwnNameWithDomain", "", "kobo.example.org:62", "x-62"},
    {"LeadingZeros", "", ":062", "x-62"},
    {"DisplayZero", "", ":00.0", "x-0"},
    {"PathOfALocalSocket", "", "/tmp/launch-x/org.xquartz:0", "x-0"},
    {"AnotherDisplay", "", ":63", "x-63"},
    {"RemoteHostKeepsItsName", "", "build-box:62.0", "x-build-box-62"},
    {"RemoteHostInAnyCase", "", "Build-Box:62", "x-build-box-62"},
    {"NameLikeOwnIsAnotherHost", "", "kobold:62", "x-kobold-62"},
    {"DecnetHost", "", "vax::62", "x-vax-62"},
    {"NoNumberKeptAsGiven", "", ":x/y", "x-_x_y"},
    {"NoColonKeptAsGiven", "", "weird", "x-weird"},
    {"WaylandName", "wayland-1", ":62", "wayland-wayland-1"},
    {"WaylandPathInRuntimeFolder", "/run/user/1000/wayland-1", "", "wayland-wayland-1"},
    {"WaylandPathElsewhere", "/tmp/wayland-1", "", "wayland-_tmp_wayland-1"},
    {"NoDisplay", "", "", "none"},
};

class DisplayKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DisplayKeyTest, EverySpellingOfOneDisplayGivesOneKey) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(DisplayKey({c.wayland, c.x, "kobo", "/run/user/1000/"}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Displays, DisplayKeyTest, ::testing::ValuesIn(kKeyCases),
                         testing::CaseName());

TEST(DisplayKeyLimitsTest, AKeyIsShortAndPlainWhateverTheEnvironmentHolds) {
    const std::string key = DisplayKey({"", std::string(300, '\n') + ":0x", "", ""});
    EXPECT_LE(key.size(), 45U);
    EXPECT_EQ(key.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789.-_"), std::string::npos);
}

}  // namespace
}  // namespace karuneo
