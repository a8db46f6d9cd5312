#include "window/rules/window_settings.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "tests/window/rules/fakes.h"

namespace karuneo {
namespace {

using testing::FakeWindow;
using testing::RecordingStore;

const std::vector<TwipRect> kOneScreen{{0, 0, 28800, 16200}};

class RestoreTest : public ::testing::Test {
  protected:
    void Restore() { RestoreWindowSettings(store, window, kOneScreen); }

    RecordingStore store;
    FakeWindow window;
};

TEST_F(RestoreTest, EmptyStoreLeavesTheWindowAlone) {
    const TwipRect before = window.outer;
    Restore();
    EXPECT_EQ(window.outer, before);
    EXPECT_EQ(window.state, WindowState::kNormal);
}

// 1280 by 720 pixels at a scale of 2: the default size does not fit.
TEST_F(RestoreTest, EmptyStoreFitsADefaultLargerThanTheScreen) {
    const std::vector<TwipRect> small_screen{{0, 0, 9600, 5400}};
    RestoreWindowSettings(store, window, small_screen);
    EXPECT_EQ(window.outer, (TwipRect{0, 0, 9600, 5400}));
}

// Saved at 1000 by 608 pixels at scale 1, reopened at 1.5 on a screen of
// 1600 by 1000 pixels it reached past the screen's bottom and right.
TEST_F(RestoreTest, ARectangleSavedAtAnotherScaleIsFittedInside) {
    store.values = {{"Main/WindowState", "vbNomal"},
                    {"Main/Left", "7500"},
                    {"Main/Top", "1500"},
                    {"Main/Width", "15000"},
                    {"Main/Height", "9120"}};
    const std::vector<TwipRect> scaled_screen{{0, 0, 16000, 10000}};
    RestoreWindowSettings(store, window, scaled_screen);
    EXPECT_EQ(window.outer, (TwipRect{1000, 880, 15000, 9120}));
    EXPECT_TRUE(store.writes.empty()) << "the stored rectangle stays as it was";
}

TEST_F(RestoreTest, MaximisedOpensMaximisedAndIgnoresTheRectangle) {
    store.values = {{"Main/WindowState", "vbMaximized"}, {"Main/Left", "100"}};
    const TwipRect before = window.outer;
    Restore();
    EXPECT_EQ(window.state, WindowState::kMaximized);
    EXPECT_EQ(window.outer, before);
}

TEST_F(RestoreTest, AnyOtherStateTextRestoresTheRectangleMissingKeysAsZero) {
    store.values = {{"Main/WindowState", "vbMinimized"}, {"Main/Left", "45"}, {"Main/Top", "x"}};
    Restore();
    EXPECT_EQ(window.state, WindowState::kNormal);
    EXPECT_EQ(window.outer, (TwipRect{45, 0, 0, 0}));
}

TEST_F(RestoreTest, PositionOnAVanishedScreenComesBackClamped) {
    store.values = {{"Main/WindowState", "vbNomal"},
                    {"Main/Left", "40000"},
                    {"Main/Top", "-20000"},
                    {"Main/Width", "30000"},
                    {"Main/Height", "4500"}};
    Restore();
    EXPECT_EQ(window.outer, (TwipRect{0, 0, 28800, 4500}));
}

// Off unless the user turned it on: a store without the key, or with text
// another version or a hand wrote, never starts writing beside dropped files.
TEST(ExtractArchivesSettingTest, IsOffUnlessTurnedOnAndReadsBackAsWritten) {
    RecordingStore store;
    EXPECT_FALSE(LoadExtractArchives(store));
    for (const char* text : {"", "False", "true", "1", "Yes"}) {
        store.values["Main/ExtractArchives"] = text;
        EXPECT_FALSE(LoadExtractArchives(store)) << text;
    }
    SaveExtractArchives(store, true);
    EXPECT_EQ(store.values["Main/ExtractArchives"], "True");
    EXPECT_TRUE(LoadExtractArchives(store));
    SaveExtractArchives(store, false);
    EXPECT_EQ(store.values["Main/ExtractArchives"], "False");
    EXPECT_FALSE(LoadExtractArchives(store));
}

TEST(RegistrySettingsKeyTest, IsTheKeyEarlierVersionsWrote) {
    EXPECT_EQ(RegistrySettingsKey(), "Software\\VB and VBA Program Settings\\カルネオ");
}

TEST(FormatTwipsTest, WholeNumbersAreDigitsAndEveryValueReadsBack) {
    EXPECT_EQ(FormatTwips(-1800), "-1800");
    EXPECT_EQ(FormatTwips(9000.5f), "9000.5");
    for (const float twips : {0.0f, 15.0f, -30.0f, 1234.25f, 3.0e7f, 1.5e-3f}) {
        EXPECT_FLOAT_EQ(ParseLeadingNumber(FormatTwips(twips)), twips) << FormatTwips(twips);
    }
}

TEST(ParseLeadingNumberTest, TakesTheNumberAtTheStartIfAny) {
    EXPECT_FLOAT_EQ(ParseLeadingNumber("1200"), 1200);
    EXPECT_FLOAT_EQ(ParseLeadingNumber("  -45.5px"), -45.5f);
    EXPECT_FLOAT_EQ(ParseLeadingNumber("+7"), 7);
    EXPECT_FLOAT_EQ(ParseLeadingNumber(".5"), 0.5f);
    EXPECT_FLOAT_EQ(ParseLeadingNumber("12,5"), 12);
    EXPECT_FLOAT_EQ(ParseLeadingNumber("1e3"), 1000);
    EXPECT_FLOAT_EQ(ParseLeadingNumber("2e"), 2);
    EXPECT_FLOAT_EQ(ParseLeadingNumber("3.e+"), 3);
    // Text without a number is 0.
    for (const char* text : {"", "   ", "abc", "-", ".", "-.e5", "inf", "nan", "\xff"}) {
        EXPECT_FLOAT_EQ(ParseLeadingNumber(text), 0) << text;
    }
}

TEST(ParseLeadingNumberTest, HugeNumbersStayFinite) {
    EXPECT_FLOAT_EQ(ParseLeadingNumber("1e300"), std::numeric_limits<float>::max());
    EXPECT_FLOAT_EQ(ParseLeadingNumber("-1e300"), -std::numeric_limits<float>::max());
}

}  // namespace
}  // namespace karuneo
