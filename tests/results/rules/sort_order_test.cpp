// Header clicks in either list: which way the rows go and what the arrow shows.
#include "results/rules/sort_order.h"

#include <gtest/gtest.h>

#include <vector>

namespace karuneo {
namespace {

TEST(SortOrderTest, ClicksOnOneColumnTurnTheOrderRoundAndAnotherColumnStartsAscending) {
    struct Step {
        int clicked;
        SortOrder shown;
    };
    const std::vector<Step> steps = {
        {0, {0, false}}, {0, {0, true}}, {0, {0, false}},
        {1, {1, false}}, {1, {1, true}}, {0, {0, false}},
    };
    SortOrder order;
    for (const Step& step : steps) {
        order = AfterHeaderClick(order, step.clicked);
        EXPECT_EQ(order, step.shown) << "after a click on column " << step.clicked;
    }
    EXPECT_EQ(AfterHeaderClick(SortOrder{}, 1), (SortOrder{1, false})) << "after rows arrived";
}

TEST(SortOrderTest, TextsDecideEitherWayAndEqualTextsKeepTheirArrival) {
    struct Case {
        int compared;
        std::size_t arrived;
        std::size_t other_arrived;
        bool descending;
        int order;
    };
    const Case cases[] = {
        {-7, 5, 1, false, -1}, {-7, 5, 1, true, 1}, {3, 0, 1, false, 1}, {3, 0, 1, true, -1},
        {0, 0, 1, false, -1},  {0, 0, 1, true, -1}, {0, 4, 2, true, 1},  {0, 2, 2, true, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RowOrder(c.compared, c.arrived, c.other_arrived, c.descending), c.order)
            << c.compared << ", arrived " << c.arrived << " and " << c.other_arrived
            << (c.descending ? ", descending" : ", ascending");
    }
}

}  // namespace
}  // namespace karuneo
