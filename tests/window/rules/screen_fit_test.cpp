#include "window/rules/screen_fit.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "window/rules/twips.h"

namespace karuneo {
namespace {

// A primary screen and a second one to its left.
const std::vector<TwipRect> kScreens{{0, 0, 28800, 16200}, {-19200, 0, 19200, 10800}};

TEST(BringOnScreenTest, AWindowTouchingAnyScreenStaysPut) {
    for (const TwipRect window :
         {TwipRect{1200, 900, 9000, 4500}, TwipRect{-19000, 100, 3000, 3000},
          TwipRect{28000, 15000, 9000, 4500}, TwipRect{-2000, -2000, 2100, 2100},
          TwipRect{0, 0, 0, 0}}) {
        EXPECT_EQ(BringOnScreen(window, kScreens), window);
    }
}

TEST(BringOnScreenTest, AWindowBesideEveryScreenMovesToThePrimaryOne) {
    EXPECT_EQ(BringOnScreen({28800, 0, 9000, 4500}, kScreens), (TwipRect{0, 0, 9000, 4500}));
    EXPECT_EQ(BringOnScreen({-1000, 11000, 900, 900}, kScreens), (TwipRect{0, 0, 900, 900}));
    EXPECT_EQ(BringOnScreen({0, -4500, 9000, 4500}, kScreens), (TwipRect{0, 0, 9000, 4500}));
    // Too large for the primary screen: clamped to it.
    EXPECT_EQ(BringOnScreen({90000, 90000, 40000, 20000}, kScreens),
              (TwipRect{0, 0, 28800, 16200}));
}

TEST(TwipsTest, AbsurdStoredValuesStayWithinAnInt) {
    EXPECT_EQ(TwipsToPixels(3.0e38f), 1000000);
    EXPECT_EQ(TwipsToPixels(-3.0e38f), -1000000);
    EXPECT_EQ(TwipsToPixels(std::numeric_limits<float>::quiet_NaN()), 0);
}

}  // namespace
}  // namespace karuneo
