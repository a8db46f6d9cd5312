#include "window/rules/sizing_pass.h"

#include <gtest/gtest.h>

#include "tests/window/rules/fakes.h"
#include "window/rules/layout_rules.h"

namespace karuneo {
namespace {

using testing::Write;

class SizingPassTest : public ::testing::Test {
  protected:
    void Run() { pass.Run(window, layout, store); }

    testing::FakeWindow window;
    testing::FakeLayout layout;
    testing::RecordingStore store;
    SizingPass pass;
};

TEST_F(SizingPassTest, FrameListAndColumnsFollowTheWindow) {
    window.outer = {0, 0, 12000, 7000};
    // Columns share what the list really got, not what it was asked to take.
    layout.list_width_read_back = 7000;
    Run();
    EXPECT_FLOAT_EQ(layout.frame_width, 8400);
    EXPECT_FLOAT_EQ(layout.list_width, 7860);
    EXPECT_FLOAT_EQ(layout.frame_height, 6200);
    EXPECT_FLOAT_EQ(layout.list_height, 5600);
    EXPECT_FLOAT_EQ(layout.first_column, 4200);
    EXPECT_FLOAT_EQ(layout.second_column, 2800);
}

TEST_F(SizingPassTest, ColumnsAreCreatedOnTheFirstPassOnlyWhateverTheState) {
    for (const WindowState state : {WindowState::kMinimized, WindowState::kNormal,
                                    WindowState::kMaximized, WindowState::kNormal}) {
        window.state = state;
        Run();
        EXPECT_EQ(layout.columns, 2);
    }
}

TEST_F(SizingPassTest, BelowTheMinimumSnapsAndKeepsTheLastLayout) {
    Run();
    const testing::FakeLayout before = layout;
    window.outer.width = 4000;
    Run();
    EXPECT_FLOAT_EQ(window.outer.width, kMinWindowWidth);
    EXPECT_FLOAT_EQ(layout.list_width, before.list_width);
    EXPECT_FLOAT_EQ(layout.first_column, before.first_column);
    EXPECT_FLOAT_EQ(layout.frame_height, window.outer.height - 800);

    window.outer = {0, 0, 9000, 1000};
    Run();
    EXPECT_FLOAT_EQ(window.outer.height, kMinWindowHeight);
    EXPECT_FLOAT_EQ(layout.frame_height, before.frame_height);
    EXPECT_FLOAT_EQ(layout.frame_width, 9000 - 3600);
}

TEST_F(SizingPassTest, NormalWindowSavesStateThenGeometryInOrder) {
    window.outer = {1200, 900, 11265, 6030};
    Run();
    EXPECT_EQ(store.writes, (std::vector<Write>{{"Main/WindowState", "vbNomal"},
                                                {"Main/Left", "1200"},
                                                {"Main/Top", "900"},
                                                {"Main/Width", "11265"},
                                                {"Main/Height", "6030"}}));
}

TEST_F(SizingPassTest, MaximisedSavesOnlyItsStateMinimisedNothing) {
    window.state = WindowState::kMaximized;
    window.outer = {0, 0, 28800, 16000};
    Run();
    EXPECT_FLOAT_EQ(layout.frame_width, 25200);
    EXPECT_EQ(store.writes, (std::vector<Write>{{"Main/WindowState", "vbMaximized"}}));

    store.writes.clear();
    window.state = WindowState::kMinimized;
    window.outer = {0, 0, 3000, 500};
    Run();
    EXPECT_TRUE(store.writes.empty());
    EXPECT_FLOAT_EQ(layout.frame_width, 25200);
    EXPECT_FLOAT_EQ(window.outer.width, 3000);
}

}  // namespace
}  // namespace karuneo
