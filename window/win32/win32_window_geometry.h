#pragma once

#include <windows.h>

#include <vector>

#include "window/rules/twip_rect.h"
#include "window/rules/window_geometry.h"

namespace karuneo::win32 {

// Form1's outer rectangle and state for the layout and settings rules, in
// twips at the window's own DPI.
class Win32WindowGeometry final : public WindowGeometry {
  public:
    explicit Win32WindowGeometry(HWND window) : window_(window) {}

    WindowState State() const override;
    // Before the window is first shown this only marks it, so that it then
    // appears maximised rather than flashing up in its normal place.
    void SetMaximized() override;
    bool ShowsMaximized() const { return maximize_when_shown_; }

    TwipRect Outer() const override;
    void SetOuter(const TwipRect& outer) override;
    void SetOuterWidth(float width) override;
    void SetOuterHeight(float height) override;

    // The smallest outer size in pixels at the window's present DPI.
    SIZE MinimumSize(float width, float height) const;

  private:
    int Dpi() const;

    HWND window_;
    bool maximize_when_shown_ = false;
};

// The work areas of all monitors in twips at `dpi`, the primary one first.
std::vector<TwipRect> ScreenAreas(int dpi);

}  // namespace karuneo::win32
