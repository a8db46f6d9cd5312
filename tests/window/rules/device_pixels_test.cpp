// The list's lengths at the scales desktops offer: its inner area must end on
// a whole device pixel, or the border line there is painted over.
#include "window/rules/device_pixels.h"

#include <gtest/gtest.h>

#include <cmath>

namespace karuneo {
namespace {

TEST(DevicePixels, TheInnerEdgeEndsOnAWholeDevicePixelAtEveryScale) {
    for (const double scale : {1.0, 1.25, 1.5, 1.75, 2.0}) {
        for (int length = 2; length < 900; ++length) {
            SCOPED_TRACE(std::to_string(scale) + " " + std::to_string(length));
            const int fitted = LengthWithWholeInnerEdge(length, 1, scale);
            const double inner_edge = (fitted - 1) * scale;
            EXPECT_NEAR(inner_edge, std::round(inner_edge), 1e-9);
            EXPECT_LE(fitted, length);
            EXPECT_GT(fitted, length - 4) << "never more than a step shorter";
        }
    }
}

TEST(DevicePixels, WholeScalesAndEmptyListsAreLeftAlone) {
    EXPECT_EQ(LengthWithWholeInnerEdge(489, 1, 1.0), 489);
    EXPECT_EQ(LengthWithWholeInnerEdge(489, 1, 2.0), 489);
    EXPECT_EQ(LengthWithWholeInnerEdge(488, 1, 1.5), 487);
    EXPECT_EQ(LengthWithWholeInnerEdge(0, 1, 1.5), 0);
    EXPECT_EQ(LengthWithWholeInnerEdge(1, 1, 1.5), 1);
}

}  // namespace
}  // namespace karuneo
