#include "window/win32/win32_results_layout.h"

#include <algorithm>

#include "results/win32/results_list_view.h"
#include "window/rules/twips_at_dpi.h"

namespace karuneo::win32 {
namespace {

SIZE SizeOf(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

void Resize(HWND control, int width, int height) {
    ::SetWindowPos(control, nullptr, 0, 0, width, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void Win32ResultsLayout::SetFrameWidth(float width) {
    Resize(frame_, Pixels(width), SizeOf(frame_).cy);
}

void Win32ResultsLayout::SetFrameHeight(float height) {
    Resize(frame_, SizeOf(frame_).cx, Pixels(height));
}

void Win32ResultsLayout::SetListWidth(float width) {
    Resize(list_.Handle(), Pixels(width), SizeOf(list_.Handle()).cy);
}

void Win32ResultsLayout::SetListHeight(float height) {
    Resize(list_.Handle(), SizeOf(list_.Handle()).cx, Pixels(height));
}

float Win32ResultsLayout::ListWidth() const {
    return PixelsToTwipsAt(list_.ColumnSpace(), static_cast<int>(::GetDpiForWindow(frame_)));
}

void Win32ResultsLayout::CreateColumns() {
    list_.CreateColumns();
}

void Win32ResultsLayout::SetColumnWidths(float first, float second) {
    // Rounded as one, so that the two fill the list's width to the pixel.
    const int first_pixels = Pixels(first);
    list_.SetColumnWidths(first_pixels, Pixels(first + second) - first_pixels);
}

// A window barely larger than its minimum leaves no room; a control cannot
// be narrower than nothing.
int Win32ResultsLayout::Pixels(float twips) const {
    return std::max(0, TwipsToPixelsAt(twips, static_cast<int>(::GetDpiForWindow(frame_))));
}

}  // namespace karuneo::win32
