#include "window/rules/screen_fit.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "tests/support/named_cases.h"
#include "window/rules/twips.h"

namespace karuneo {
namespace {

// A primary screen and a second one to its left.
const std::vector<TwipRect> kScreens{{0, 0, 28800, 16200}, {-19200, 0, 19200, 10800}};
// 1600 by 1000 pixels at a scale of 1.5, less a panel at the top.
const std::vector<TwipRect> kScaledScreen{{0, 600, 16000, 9400}};
// 1280 by 720 pixels at a scale of 2.
const std::vector<TwipRect> kSmallScreen{{0, 0, 9600, 5400}};

struct FitCase {
    const char* name;
    TwipRect window;
    const std::vector<TwipRect>& screens;
    TwipRect fitted;
};

const FitCase kCases[] = {
    {"FitsOnThePrimary", {1200, 900, 9000, 4500}, kScreens, {1200, 900, 9000, 4500}},
    {"FitsOnTheSecond", {-19000, 100, 3000, 3000}, kScreens, {-19000, 100, 3000, 3000}},
    {"NoSizeStays", {0, 0, 0, 0}, kScreens, {0, 0, 0, 0}},
    {"PastTheBottomRightMovesIn", {28000, 15000, 9000, 4500}, kScreens, {19800, 11700, 9000, 4500}},
    {"MostlyOnTheSecondGoesWhollyOnIt",
     {-2000, 100, 2100, 2100},
     kScreens,
     {-2100, 100, 2100, 2100}},
    {"MostlyOnThePrimaryGoesWhollyOnIt", {-500, 100, 2100, 2100}, kScreens, {0, 100, 2100, 2100}},
    {"AboveTheTopComesDown", {1000, -2000, 9000, 4500}, kScreens, {1000, 0, 9000, 4500}},
    {"LargerThanItsScreenIsClamped", {100, 100, 40000, 20000}, kScreens, {0, 0, 28800, 16200}},
    {"LargerThanTheSecondIsClampedToIt",
     {-19000, 100, 25000, 12000},
     kScreens,
     {-19200, 0, 19200, 10800}},
    {"BesideEveryScreenGoesToThePrimary", {28800, 0, 9000, 4500}, kScreens, {0, 0, 9000, 4500}},
    {"BelowEveryScreenGoesToThePrimary", {-1000, 11000, 900, 900}, kScreens, {0, 0, 900, 900}},
    {"FarAwayAndLargeGoesToThePrimaryClamped",
     {90000, 90000, 40000, 20000},
     kScreens,
     {0, 0, 28800, 16200}},
    {"SavedAtScaleOneReopenedAtOneAndAHalf",
     {7500, 1500, 15000, 9120},
     kScaledScreen,
     {1000, 880, 15000, 9120}},
    {"UnderThePanelComesBelowIt", {0, 0, 9000, 4500}, kScaledScreen, {0, 600, 9000, 4500}},
    {"DefaultSizeOnASmallScaledScreen", {1200, 900, 11265, 6030}, kSmallScreen, {0, 0, 9600, 5400}},
};

class FitOnScreenTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitOnScreenTest, OpensWholeOnOneScreen) {
    EXPECT_EQ(FitOnScreen(GetParam().window, GetParam().screens), GetParam().fitted);
}

INSTANTIATE_TEST_SUITE_P(Windows, FitOnScreenTest, ::testing::ValuesIn(kCases),
                         testing::CaseName());

TEST(FitOnScreenWithoutScreensTest, LeavesTheWindowAsItIs) {
    EXPECT_EQ(FitOnScreen({-5000, 0, 90000, 9000}, {}), (TwipRect{-5000, 0, 90000, 9000}));
}

TEST(TwipsTest, AbsurdStoredValuesStayWithinAnInt) {
    EXPECT_EQ(TwipsToPixels(3.0e38f), 1000000);
    EXPECT_EQ(TwipsToPixels(-3.0e38f), -1000000);
    EXPECT_EQ(TwipsToPixels(std::numeric_limits<float>::quiet_NaN()), 0);
}

}  // namespace
}  // namespace karuneo
