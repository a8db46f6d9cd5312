#include "window/rules/twips_at_dpi.h"

#include <gtest/gtest.h>

#include <limits>

namespace karuneo {
namespace {

struct Scale {
    int dpi;
    float twips;
    int pixels;
};

// The design client width and the drop area's left edge at the usual
// Windows scales; the window must keep its size in inches at each.
class TwipsAtDpiTest : public ::testing::TestWithParam<Scale> {};

TEST_P(TwipsAtDpiTest, ConvertsThroughInches) {
    const Scale scale = GetParam();
    EXPECT_EQ(TwipsToPixelsAt(scale.twips, scale.dpi), scale.pixels);
    EXPECT_NEAR(PixelsToTwipsAt(scale.pixels, scale.dpi), scale.twips,
                720.0f / static_cast<float>(scale.dpi));
}

INSTANTIATE_TEST_SUITE_P(Scales, TwipsAtDpiTest,
                         ::testing::Values(Scale{96, 11145, 743}, Scale{120, 11145, 929},
                                           Scale{144, 11145, 1115}, Scale{192, 11145, 1486},
                                           Scale{144, 120, 12}, Scale{192, 120, 16},
                                           Scale{120, 6000, 500}, Scale{144, 2800, 280}));

TEST(TwipsAtDpiEdgeTest, UnknownDpiCountsAs96AndAbsurdValuesStayDefined) {
    EXPECT_EQ(TwipsToPixelsAt(1500, 0), 100);
    EXPECT_EQ(TwipsToPixelsAt(std::numeric_limits<float>::quiet_NaN(), 144), 0);
    EXPECT_EQ(TwipsToPixelsAt(std::numeric_limits<float>::max(), 144), 1'000'000);
}

}  // namespace
}  // namespace karuneo
