#pragma once

#include <span>

#include "window/rules/twip_rect.h"

namespace karuneo {

// A window saved on a screen that has since gone would open where nobody can
// see or reach it. Such a rectangle moves to the top left of the first
// screen (the primary one), its size clamped to that screen; a rectangle that
// touches any screen is returned unchanged.
TwipRect BringOnScreen(const TwipRect& window, std::span<const TwipRect> screens);

}  // namespace karuneo
