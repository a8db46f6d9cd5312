#include "window/rules/sizing_pass.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/window/rules/fakes.h"
#include "window/rules/layout_rules.h"
#include "window/rules/window_settings.h"

namespace karuneo {
namespace {

using testing::Write;

class SizingPassTest : public ::testing::Test {
  protected:
    void Run() { pass.Run(window, layout, store); }
    // A pass at `start`, then one with `side` of the window changed to `to`.
    void ResizeFrom(TwipRect start, float TwipRect::*side, float to) {
        window.outer = start;
        Run();
        window.outer.*side = to;
        Run();
    }

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

TEST_F(SizingPassTest, AtOrBelowTheMinimumSnapsAndLaysOutForTheMinimum) {
    // Exactly the minimum is what a drag in steps or a clamped resize ends on.
    for (const float width : {4000.0f, kMinWindowWidth}) {
        ResizeFrom({0, 0, 12000, 7000}, &TwipRect::width, width);
        EXPECT_FLOAT_EQ(window.outer.width, kMinWindowWidth);
        EXPECT_FLOAT_EQ(layout.frame_width, kMinWindowWidth - 3600) << width;
        EXPECT_FLOAT_EQ(layout.list_width, kMinWindowWidth - 3600 - 540) << width;
        EXPECT_FLOAT_EQ(layout.first_column + layout.second_column, layout.list_width) << width;
        EXPECT_FLOAT_EQ(layout.frame_height, 7000 - 800);
    }
    for (const float height : {1000.0f, kMinWindowHeight}) {
        ResizeFrom({0, 0, 9000, 7000}, &TwipRect::height, height);
        EXPECT_FLOAT_EQ(window.outer.height, kMinWindowHeight);
        EXPECT_FLOAT_EQ(layout.frame_height, kMinWindowHeight - 800) << height;
        EXPECT_FLOAT_EQ(layout.list_height, kMinWindowHeight - 800 - 600) << height;
        EXPECT_FLOAT_EQ(layout.frame_width, 9000 - 3600);
    }
}

// A store that names the state and nothing else, as a hand-edited one may.
TEST_F(SizingPassTest, AStartWithAStateButNoPlaceOpensAtTheOriginAtTheMinimum) {
    store.values = {{"Main/WindowState", "vbNomal"}};
    const std::vector<TwipRect> screens{{0, 0, 28800, 16200}};
    RestoreWindowSettings(store, window, screens);
    Run();
    EXPECT_EQ(window.outer, (TwipRect{0, 0, kMinWindowWidth, kMinWindowHeight}));
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

// Maximising, the window system may report the move before or after the
// resize; a move is saved as the window's own move handler saves it.
TEST_F(SizingPassTest, MaximisedReopensMaximisedWhicheverOrderMoveAndResizeCome) {
    for (const bool move_first : {true, false}) {
        window = {};
        store = {};
        Run();
        const auto normal = store.values;
        window.state = WindowState::kMaximized;
        window.outer = {0, 0, 28800, 16000};
        const auto move = [&] { SaveWindowState(window, store); };
        const auto move_and_resize = [&] {
            if (move_first) {
                move();
                Run();
            } else {
                Run();
                move();
            }
        };
        move_and_resize();
        move();  // and once more later, as a window manager does
        EXPECT_EQ(store.values.at("Main/WindowState"), "vbMaximized") << move_first;
        for (const char* key : {"Main/Left", "Main/Top", "Main/Width", "Main/Height"}) {
            EXPECT_EQ(store.values.at(key), normal.at(key)) << key;
        }

        window.state = WindowState::kNormal;
        window.outer = {600, 450, 9000, 4500};
        move_and_resize();
        EXPECT_EQ(store.values.at("Main/WindowState"), "vbNomal");
        EXPECT_EQ(store.values.at("Main/Width"), "9000");
    }
}

TEST_F(SizingPassTest, AWindowLeftSmallerThanItsMinimumIsSavedAtTheMinimum) {
    // As a window manager that ignores the minimum leaves it after a drag.
    window.outer = {750, 900, 2640, 960};
    SaveWindowState(window, store);
    EXPECT_EQ(store.values.at("Main/Left"), "750");
    EXPECT_EQ(store.values.at("Main/Width"), "6000");
    EXPECT_EQ(store.values.at("Main/Height"), "2800");
}

TEST_F(SizingPassTest, AMoveWhileMinimisedWritesNothing) {
    window.state = WindowState::kMinimized;
    window.outer = {-48000, -48000, 2400, 450};
    SaveWindowState(window, store);
    EXPECT_TRUE(store.writes.empty());
}

}  // namespace
}  // namespace karuneo
