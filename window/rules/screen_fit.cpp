#include "window/rules/screen_fit.h"

#include <algorithm>

#include "window/rules/twips.h"

namespace karuneo {
namespace {

// How much of the screen the window covers; a degenerate window (as a
// store without size keys gives) still has its corner, one pixel of it.
float Overlap(const TwipRect& window, const TwipRect& screen) {
    const float width = std::max(window.width, kTwipsPerPixel);
    const float height = std::max(window.height, kTwipsPerPixel);
    const float across = std::min(window.left + width, screen.left + screen.width) -
                         std::max(window.left, screen.left);
    const float down = std::min(window.top + height, screen.top + screen.height) -
                       std::max(window.top, screen.top);
    return across > 0 && down > 0 ? across * down : 0;
}

// One axis: the start that keeps [start, start + size) within the area,
// moved as little as it can be.
float Inside(float start, float size, float area_start, float area_size) {
    return std::clamp(start, area_start, area_start + area_size - size);
}

}  // namespace

TwipRect FitOnScreen(const TwipRect& window, std::span<const TwipRect> screens) {
    if (screens.empty()) {
        return window;
    }
    const TwipRect* home = nullptr;
    float most = 0;
    for (const TwipRect& screen : screens) {
        if (const float covered = Overlap(window, screen); covered > most) {
            most = covered;
            home = &screen;
        }
    }
    const TwipRect& area = home != nullptr ? *home : screens.front();
    const float width = std::clamp(window.width, 0.0f, std::max(area.width, 0.0f));
    const float height = std::clamp(window.height, 0.0f, std::max(area.height, 0.0f));
    if (home == nullptr) {
        return {area.left, area.top, width, height};
    }
    return {Inside(window.left, width, area.left, area.width),
            Inside(window.top, height, area.top, area.height), width, height};
}

}  // namespace karuneo
