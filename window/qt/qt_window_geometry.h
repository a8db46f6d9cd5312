#pragma once

#include <QSize>
#include <optional>
#include <vector>

#include "window/rules/twip_rect.h"
#include "window/rules/window_geometry.h"

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

    // Outer sizes set before the window manager framed the window could only
    // be taken as client sizes; once the frame is known (or whenever it
    // changes), this sets them again, so that a restored window does not
    // grow by its frame on every run. Call it on every move and resize.
    // True when the frame's extent changed since the last call: the outer
    // size changed with it, though the client area did not.
    bool AdaptToFrame();

  private:
    QSize FrameExtent() const;
    int ClientWidth(float outer_width) const;
    int ClientHeight(float outer_height) const;

    QWidget& window_;
    std::optional<TwipRect> unframed_outer_;
    QSize last_frame_extent_;
    float min_width_ = 0;
    float min_height_ = 0;
};

// The usable area of every screen, the primary one first.
std::vector<TwipRect> ScreenAreas();

}  // namespace karuneo
