#pragma once

#include <string_view>

namespace karuneo {

// The results list's column headers, the same in both windows.
inline constexpr std::string_view kNameColumnCaption = "フォルダ名";
inline constexpr std::string_view kStatusColumnCaption = "処理結果";

}  // namespace karuneo
