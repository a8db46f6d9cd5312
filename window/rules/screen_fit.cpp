#include "window/rules/screen_fit.h"

#include <algorithm>

#include "window/rules/twips.h"

namespace karuneo {
namespace {

// A degenerate window (as a store without size keys gives) still has its
// corner; one pixel is what can be seen of it.
bool Overlaps(const TwipRect& window, const TwipRect& screen) {
    const float width = std::max(window.width, kTwipsPerPixel);
    const float height = std::max(window.height, kTwipsPerPixel);
    return window.left < screen.left + screen.width && screen.left < window.left + width &&
           window.top < screen.top + screen.height && screen.top < window.top + height;
}

}  // namespace

TwipRect BringOnScreen(const TwipRect& window, std::span<const TwipRect> screens) {
    if (screens.empty() || std::any_of(screens.begin(), screens.end(), [&](const TwipRect& screen) {
            return Overlaps(window, screen);
        })) {
        return window;
    }
    const TwipRect& primary = screens.front();
    return {primary.left, primary.top, std::min(window.width, primary.width),
            std::min(window.height, primary.height)};
}

}  // namespace karuneo
