#pragma once

#include <windows.h>

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
LOGFONTW MessageLogFont(int dpi);
Font MessageFont(int dpi);

}  // namespace karuneo::win32
