// The 詳細 box never reaches past the screen its owner is on.
#include "results/rules/details_box.h"

#include <gtest/gtest.h>

namespace karuneo {
namespace {

TEST(PlaceDetailsBoxTest, AsLargeAsItsTextUpToTheAreaCentredOnItsOwnerWithinTheArea) {
    const BoxRect area{0, 0, 1600, 1000};
    struct Case {
        const char* what;
        int wanted_width;
        int wanted_height;
        BoxRect owner;
        BoxRect area;
        BoxRect placed;
    };
    const Case cases[] = {
        {"a short text, centred", 400, 200, {100, 100, 800, 600}, area, {300, 300, 400, 200}},
        {"a reason naming 3 000 entries",
         600,
         13110,
         {100, 100, 800, 600},
         area,
         {200, 0, 600, 1000}},
        {"owner at the right edge", 400, 200, {1400, 100, 800, 600}, area, {1200, 300, 400, 200}},
        {"owner above the top", 400, 200, {100, -500, 800, 600}, area, {300, 0, 400, 200}},
        {"a wider text than the screen",
         2000,
         200,
         {100, 100, 800, 600},
         area,
         {0, 300, 1600, 200}},
        {"a second screen left of the first",
         400,
         200,
         {-1200, 100, 800, 600},
         {-1280, 0, 1280, 984},
         {-1000, 300, 400, 200}},
        {"a taskbar above", 400, 900, {0, 0, 800, 600}, {0, 40, 1600, 960}, {200, 40, 400, 900}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlaceDetailsBox(c.wanted_width, c.wanted_height, c.owner, c.area), c.placed)
            << c.what;
    }
}

}  // namespace
}  // namespace karuneo
