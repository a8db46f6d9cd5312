#pragma once

#include <windows.h>

#include <string_view>

#include "results/win32/message_font.h"

namespace karuneo::win32 {

// The message font, made smaller until `text` fits in `width` pixels: the
// drop area keeps its designed size, which the designed font just filled.
Font MessageFontFitting(std::wstring_view text, int width, int dpi);

// Label1's arrow: MS PGothic, 20.25 points, regular weight.
Font ArrowFont(int dpi);

}  // namespace karuneo::win32
