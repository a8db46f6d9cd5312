#include "window/rules/window_settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

#include "window/rules/ascii_digit.h"
#include "window/rules/layout_rules.h"
#include "window/rules/screen_fit.h"
#include "window/rules/settings_store.h"
#include "window/rules/twip_rect.h"
#include "window/rules/window_geometry.h"

namespace karuneo {
namespace {

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsAsciiDigit(text[at])) {
        ++at;
    }
    return at;
}

// The length of the number at the start of `text`: digits, an optional
// fraction and an optional exponent; 0 when there are no digits at all.
std::size_t NumberLength(std::string_view text) {
    std::size_t end = SkipDigits(text, 0);
    bool any_digit = end > 0;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fraction_end = SkipDigits(text, end + 1);
        any_digit = any_digit || fraction_end > end + 1;
        end = fraction_end;
    }
    if (!any_digit) {
        return 0;
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t exponent_end = SkipDigits(text, exponent);
        if (exponent_end > exponent) {
            end = exponent_end;
        }
    }
    return end;
}

float ToFloat(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -kMax, kMax));
}

float ReadNumber(SettingsStore& store, std::string_view key) {
    return ParseLeadingNumber(store.Read(kSettingsSection, key));
}

}  // namespace

std::string RegistrySettingsKey() {
    std::string key = "Software\\";
    key += kRegistrySettingsFolder;
    key += '\\';
    key += kSettingsApplication;
    return key;
}

void SaveWindowSettings(const WindowGeometry& window, SettingsStore& store) {
    const TwipRect outer = window.Outer();
    store.Write(kSettingsSection, kKeyWindowState, kStateNormal);
    store.Write(kSettingsSection, kKeyLeft, FormatTwips(outer.left));
    store.Write(kSettingsSection, kKeyTop, FormatTwips(outer.top));
    // A window manager may leave the window smaller than it asked to be;
    // the next start must not open it so.
    store.Write(kSettingsSection, kKeyWidth, FormatTwips(std::max(outer.width, kMinWindowWidth)));
    store.Write(kSettingsSection, kKeyHeight,
                FormatTwips(std::max(outer.height, kMinWindowHeight)));
}

void SaveMaximizedState(SettingsStore& store) {
    store.Write(kSettingsSection, kKeyWindowState, kStateMaximized);
}

void SaveWindowState(const WindowGeometry& window, SettingsStore& store) {
    switch (window.State()) {
        case WindowState::kMinimized:
            return;
        case WindowState::kMaximized:
            SaveMaximizedState(store);
            return;
        case WindowState::kNormal:
            SaveWindowSettings(window, store);
            return;
    }
}

void RestoreWindowSettings(SettingsStore& store, WindowGeometry& window,
                           std::span<const TwipRect> screens) {
    if (store.Read(kSettingsSection, kKeyWindowState) == kStateMaximized) {
        window.SetMaximized();
        return;
    }
    if (store.Read(kSettingsSection, kKeyWindowState).empty()) {
        // Where the windowing system put it, unless its default size is
        // larger than the screen (a small one, or a large scale).
        const TwipRect fresh = window.Outer();
        const TwipRect fitted = FitOnScreen(fresh, screens);
        if (fitted.width != fresh.width || fitted.height != fresh.height) {
            window.SetOuter(fitted);
        }
        return;
    }
    const TwipRect saved{ReadNumber(store, kKeyLeft), ReadNumber(store, kKeyTop),
                         ReadNumber(store, kKeyWidth), ReadNumber(store, kKeyHeight)};
    window.SetOuter(FitOnScreen(saved, screens));
}

std::string FormatTwips(float twips) {
    std::array<char, 32> buffer{};
    constexpr float kExactIntegers = 16777216.0f;  // 2^24: every whole float below is exact
    std::to_chars_result written{};
    if (std::nearbyint(twips) == twips && std::fabs(twips) < kExactIntegers) {
        written =
            std::to_chars(buffer.data(), buffer.data() + buffer.size(), static_cast<long>(twips));
    } else {
        written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), twips);
    }
    return std::string(buffer.data(), written.ptr);
}

float ParseLeadingNumber(std::string_view text) {
    const auto start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return 0;
    }
    text.remove_prefix(start);
    const bool negative = text.front() == '-';
    if (negative || text.front() == '+') {
        text.remove_prefix(1);
    }
    const std::size_t length = NumberLength(text);
    double value = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + length, value);
    if (length == 0 || parsed.ec != std::errc()) {
        return 0;
    }
    return ToFloat(negative ? -value : value);
}

bool LoadExtractArchives(SettingsStore& store) {
    return store.Read(kSettingsSection, kKeyExtractArchives) == kTrue;
}

void SaveExtractArchives(SettingsStore& store, bool extract) {
    store.Write(kSettingsSection, kKeyExtractArchives, extract ? kTrue : kFalse);
}

}  // namespace karuneo
