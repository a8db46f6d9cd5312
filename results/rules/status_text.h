#pragma once

#include <string_view>

#include "engine/row_status.h"

namespace karuneo {

// The texts that stand in a result row's status column, in every front end
// and in karuneo-cli's lines, whatever the language of the reasons.
inline constexpr std::string_view kStatusDone = "完了";
inline constexpr std::string_view kStatusDoneEmpty = "完了<フォルダは空>";
inline constexpr std::string_view kStatusUntouched = "未処理";
inline constexpr std::string_view kStatusError = "エラー";
// A window's row for an undo that went through: the four above say how a
// run left a folder.
inline constexpr std::string_view kStatusUndone = "元に戻しました";

constexpr std::string_view StatusText(RowStatus status) {
    switch (status) {
        case RowStatus::kDone:
            return kStatusDone;
        case RowStatus::kDoneEmpty:
            return kStatusDoneEmpty;
        case RowStatus::kUntouched:
            return kStatusUntouched;
        case RowStatus::kError:
            return kStatusError;
    }
    return kStatusError;
}

}  // namespace karuneo
