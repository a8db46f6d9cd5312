#pragma once

#include <string_view>

namespace karuneo {

// The only texts that ever stand in a result row's status column.
inline constexpr std::string_view kStatusDone = "完了";
inline constexpr std::string_view kStatusDoneEmpty = "完了<フォルダは空>";
inline constexpr std::string_view kStatusUntouched = "未処理";
inline constexpr std::string_view kStatusError = "エラー";

}  // namespace karuneo
