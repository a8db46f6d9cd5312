#pragma once

#include <windows.h>

#include <string_view>

namespace karuneo::win32 {

// A font handle that deletes its font.
class Font {
  public:
    Font() = default;
    explicit Font(HFONT font) : font_(font) {}
    Font(Font&& other) noexcept : font_(other.font_) { other.font_ = nullptr; }
    Font& operator=(Font&& other) noexcept;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font();

    HFONT Get() const { return font_; }

  private:
    HFONT font_ = nullptr;
};

// The system's message font at `dpi`: what every Windows dialog uses (Yu
// Gothic UI or Meiryo UI on a Japanese Windows).
Font MessageFont(int dpi);

// The message font, made smaller until `text` fits in `width` pixels: the
// drop area keeps its designed size, which the designed font just filled.
Font MessageFontFitting(std::wstring_view text, int width, int dpi);

// Label1's arrow: MS PGothic, 20.25 points, regular weight.
Font ArrowFont(int dpi);

}  // namespace karuneo::win32
