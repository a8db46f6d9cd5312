#include "results/win32/message_font.h"

namespace karuneo::win32 {

LOGFONTW MessageLogFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                      static_cast<UINT>(dpi))) {
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof metrics.lfMessageFont,
                     &metrics.lfMessageFont);
    }
    return metrics.lfMessageFont;
}

Font& Font::operator=(Font&& other) noexcept {
    if (this != &other) {
        Font gone(font_);
        font_ = other.font_;
        other.font_ = nullptr;
    }
    return *this;
}

Font::~Font() {
    if (font_ != nullptr) {
        ::DeleteObject(font_);
    }
}

Font MessageFont(int dpi) {
    const LOGFONTW face = MessageLogFont(dpi);
    return Font(::CreateFontIndirectW(&face));
}

}  // namespace karuneo::win32
