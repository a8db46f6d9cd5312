#include "window/sizing_pass.h"

#include <gtest/gtest.h>

#include "tests/window/fakes.h"
#include "window/layout_rules.h"

namespace karuneo {
namespace {

using testing::FakeLayout;
using testing::FakeWindow;
using testing::RecordingStore;
using testing::Write;

class SizingPassTest : public ::testing::Test {
  protected:
    void Run() { pass.Run(window, layout, store); }

    FakeWindow window;
    FakeLayout layout;
    RecordingStore store;
    SizingPass pass;
};

TEST_F(SizingPassTest, FrameListAndColumnsFollowTheWindow) {
    window.outer = {0, 0, 12000, 7000};
    Run();
    EXPECT_FLOAT_EQ(layout.frame_width, 8400);
    EXPECT_FLOAT_EQ(layout.list_width, 7860);
    EXPECT_FLOAT_EQ(layout.frame_height, 6200);
    EXPECT_FLOAT_EQ(layout.list_height, 5600);
    EXPECT_FLOAT_EQ(layout.first_column, 7860 * 0.6f);
    EXPECT_FLOAT_EQ(layout.second_column, 7860 * 0.4f);
}

TEST_F(SizingPassTest, ColumnsShareTheWidthTheListReallyHas) {
    window.outer = {0, 0, 12000, 7000};
    layout.list_width_read_back = 7000;
    Run();
    EXPECT_FLOAT_EQ(layout.first_column, 4200);
    EXPECT_FLOAT_EQ(layout.second_column, 2800);
}

TEST_F(SizingPassTest, ColumnsAreCreatedOnTheFirstPassOnlyWhateverTheState) {
    window.state = WindowState::kMinimized;
    Run();
    EXPECT_EQ(layout.columns, 2);
    for (const WindowState state :
         {WindowState::kNormal, WindowState::kMaximized, WindowState::kMinimized}) {
        window.state = state;
        Run();
    }
    EXPECT_EQ(layout.columns, 2);
}

TEST_F(SizingPassTest, NarrowerThanTheMinimumSnapsAndLeavesTheLayout) {
    Run();
    const FakeLayout before = layout;
    window.outer.width = 4000;
    Run();
    EXPECT_FLOAT_EQ(window.outer.width, kMinWindowWidth);
    EXPECT_FLOAT_EQ(layout.frame_width, before.frame_width);
    EXPECT_FLOAT_EQ(layout.list_width, before.list_width);
    EXPECT_FLOAT_EQ(layout.first_column, before.first_column);
    // The height was fine and still follows.
    EXPECT_FLOAT_EQ(layout.frame_height, window.outer.height - 800);
}

TEST_F(SizingPassTest, LowerThanTheMinimumSnaps) {
    window.outer.height = 1000;
    Run();
    EXPECT_FLOAT_EQ(window.outer.height, kMinWindowHeight);
    EXPECT_FLOAT_EQ(layout.frame_height, -1);
    EXPECT_FLOAT_EQ(layout.frame_width, window.outer.width - 3600);
}

TEST_F(SizingPassTest, ExactlyTheMinimumClampsBothWaysWithoutLayout) {
    window.outer = {0, 0, kMinWindowWidth, kMinWindowHeight};
    Run();
    EXPECT_FLOAT_EQ(window.outer.width, kMinWindowWidth);
    EXPECT_FLOAT_EQ(window.outer.height, kMinWindowHeight);
    EXPECT_FLOAT_EQ(layout.frame_width, -1);
    EXPECT_FLOAT_EQ(layout.frame_height, -1);
}

TEST_F(SizingPassTest, NormalWindowSavesStateThenGeometryInOrder) {
    window.outer = {1200, 900, 11265, 6030};
    Run();
    const std::vector<Write> expected{{"Main/WindowState", "vbNomal"},
                                      {"Main/Left", "1200"},
                                      {"Main/Top", "900"},
                                      {"Main/Width", "11265"},
                                      {"Main/Height", "6030"}};
    EXPECT_EQ(store.writes, expected);
}

TEST_F(SizingPassTest, MaximisedWindowGrowsTheListButSavesOnlyItsState) {
    window.state = WindowState::kMaximized;
    window.outer = {0, 0, 28800, 16000};
    Run();
    EXPECT_FLOAT_EQ(layout.frame_width, 25200);
    const std::vector<Write> expected{{"Main/WindowState", "vbMaximized"}};
    EXPECT_EQ(store.writes, expected);
}

TEST_F(SizingPassTest, MinimisedWindowIsNeitherLaidOutNorSaved) {
    window.state = WindowState::kMinimized;
    window.outer = {0, 0, 3000, 500};
    Run();
    EXPECT_TRUE(store.writes.empty());
    EXPECT_FLOAT_EQ(layout.frame_width, -1);
    EXPECT_FLOAT_EQ(window.outer.width, 3000);
}

TEST(LoadLayoutTest, FitsFrameAndListWithoutMinimumOrColumns) {
    FakeLayout layout;
    ApplyLoadLayout({0, 0, 3000, 1000}, layout);
    EXPECT_FLOAT_EQ(layout.frame_width, -600);
    EXPECT_FLOAT_EQ(layout.list_width, -1140);
    EXPECT_FLOAT_EQ(layout.frame_height, 200);
    EXPECT_FLOAT_EQ(layout.list_height, -400);
    EXPECT_EQ(layout.columns, 0);
    EXPECT_FLOAT_EQ(layout.first_column, -1);
}

}  // namespace
}  // namespace karuneo
