#pragma once

#include "window/rules/twip_rect.h"

namespace karuneo {

enum class WindowState { kNormal, kMinimized, kMaximized };

// The main window as the layout and settings rules see it: its outer (frame
// included) rectangle and its state. Each front end adapts its own window.
class WindowGeometry {
  public:
    virtual ~WindowGeometry() = default;

    virtual WindowState State() const = 0;
    virtual void SetMaximized() = 0;

    virtual TwipRect Outer() const = 0;
    // Position and size at once, so that no half-moved window is ever seen.
    virtual void SetOuter(const TwipRect& outer) = 0;
    virtual void SetOuterWidth(float width) = 0;
    virtual void SetOuterHeight(float height) = 0;
};

}  // namespace karuneo
