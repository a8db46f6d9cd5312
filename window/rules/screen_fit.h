#pragma once

#include <span>

#include "window/rules/twip_rect.h"

namespace karuneo {

// A window must open whole on one screen: one saved on a screen that has
// since gone, or saved at another scale (the same size in twips is more
// pixels at a larger one), or a default size larger than a small or scaled
// screen would open with its title bar or its edges out of reach.
// `screens` are the usable areas of all screens, the primary one first.
// The window opens on the screen it overlaps most, or on the primary one
// at its top left when it touches none; its size is clamped to that
// screen's area and it is moved inside it. A window that fits is returned
// unchanged.
TwipRect FitOnScreen(const TwipRect& window, std::span<const TwipRect> screens);

}  // namespace karuneo
