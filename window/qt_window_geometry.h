#pragma once

#include <vector>

#include "window/twip_rect.h"
#include "window/window_geometry.h"

class QWidget;

namespace karuneo {

// A top-level QWidget as WindowGeometry. Qt places a window by its frame but
// sizes it by its client area, so sizes are converted with the frame's
// extent as the windowing system last reported it (none before it is shown).
class QtWindowGeometry final : public WindowGeometry {
  public:
    explicit QtWindowGeometry(QWidget& window) : window_(window) {}

    WindowState State() const override;
    void SetMaximized() override;
    TwipRect Outer() const override;
    void SetOuter(const TwipRect& outer) override;
    void SetOuterWidth(float width) override;
    void SetOuterHeight(float height) override;

    // Lets the windowing system stop a drag at this outer size.
    void SetMinimumOuterSize(float width, float height);

  private:
    int ClientWidth(float outer_width) const;
    int ClientHeight(float outer_height) const;

    QWidget& window_;
};

// The usable area of every screen, the primary one first.
std::vector<TwipRect> ScreenAreas();

}  // namespace karuneo
