#include "window/win32/win32_window_geometry.h"

#include "window/rules/twips_at_dpi.h"

namespace karuneo::win32 {
namespace {

constexpr UINT kResizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

TwipRect ToTwips(const RECT& pixels, int dpi) {
    return {PixelsToTwipsAt(pixels.left, dpi), PixelsToTwipsAt(pixels.top, dpi),
            PixelsToTwipsAt(pixels.right - pixels.left, dpi),
            PixelsToTwipsAt(pixels.bottom - pixels.top, dpi)};
}

struct Areas {
    std::vector<TwipRect> twips;
    int dpi;
};

BOOL CALLBACK AddArea(HMONITOR monitor, HDC, LPRECT, LPARAM found) {
    auto& areas = *reinterpret_cast<Areas*>(found);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info)) {
        const TwipRect area = ToTwips(info.rcWork, areas.dpi);
        if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0) {
            areas.twips.insert(areas.twips.begin(), area);
        } else {
            areas.twips.push_back(area);
        }
    }
    return TRUE;
}

}  // namespace

WindowState Win32WindowGeometry::State() const {
    if (::IsIconic(window_)) {
        return WindowState::kMinimized;
    }
    if (::IsZoomed(window_) || (maximize_when_shown_ && !::IsWindowVisible(window_))) {
        return WindowState::kMaximized;
    }
    return WindowState::kNormal;
}

void Win32WindowGeometry::SetMaximized() {
    if (::IsWindowVisible(window_)) {
        ::ShowWindow(window_, SW_MAXIMIZE);
    } else {
        maximize_when_shown_ = true;
    }
}

TwipRect Win32WindowGeometry::Outer() const {
    RECT outer{};
    ::GetWindowRect(window_, &outer);
    return ToTwips(outer, Dpi());
}

void Win32WindowGeometry::SetOuter(const TwipRect& outer) {
    const int dpi = Dpi();
    ::SetWindowPos(window_, nullptr, TwipsToPixelsAt(outer.left, dpi),
                   TwipsToPixelsAt(outer.top, dpi), TwipsToPixelsAt(outer.width, dpi),
                   TwipsToPixelsAt(outer.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32WindowGeometry::SetOuterWidth(float width) {
    RECT outer{};
    ::GetWindowRect(window_, &outer);
    ::SetWindowPos(window_, nullptr, 0, 0, TwipsToPixelsAt(width, Dpi()), outer.bottom - outer.top,
                   kResizeOnly);
}

void Win32WindowGeometry::SetOuterHeight(float height) {
    RECT outer{};
    ::GetWindowRect(window_, &outer);
    ::SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, TwipsToPixelsAt(height, Dpi()),
                   kResizeOnly);
}

SIZE Win32WindowGeometry::MinimumSize(float width, float height) const {
    const int dpi = Dpi();
    return {TwipsToPixelsAt(width, dpi), TwipsToPixelsAt(height, dpi)};
}

int Win32WindowGeometry::Dpi() const {
    return static_cast<int>(::GetDpiForWindow(window_));
}

std::vector<TwipRect> ScreenAreas(int dpi) {
    Areas areas{{}, dpi};
    ::EnumDisplayMonitors(nullptr, nullptr, AddArea, reinterpret_cast<LPARAM>(&areas));
    return areas.twips;
}

}  // namespace karuneo::win32
