#include "window/win32/fonts.h"

#include <cmath>

namespace karuneo::win32 {
namespace {

int TextWidth(std::wstring_view text, const LOGFONTW& face) {
    HDC dc = ::GetDC(nullptr);
    HFONT font = ::CreateFontIndirectW(&face);
    HGDIOBJ previous = ::SelectObject(dc, font);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, previous);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, dc);
    return extent.cx;
}

}  // namespace

Font MessageFontFitting(std::wstring_view text, int width, int dpi) {
    LOGFONTW face = MessageLogFont(dpi);
    const LONG smallest = -::MulDiv(6, dpi, 72);
    // Heights are negative: a character height in pixels.
    while (face.lfHeight < smallest && TextWidth(text, face) > width) {
        ++face.lfHeight;
    }
    return Font(::CreateFontIndirectW(&face));
}

Font ArrowFont(int dpi) {
    constexpr double kPoints = 20.25;
    const auto height = static_cast<int>(std::lround(kPoints * dpi / 72));
    return Font(::CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, L"ＭＳ Ｐゴシック"));
}

}  // namespace karuneo::win32
