#pragma once

#include <array>
#include <string_view>

#include "engine/row_status.h"
#include "results/rules/status_text.h"

namespace karuneo::testing {

// The status whose column text is `text`, so that a table of rows can be
// written in the words a user reads. An unknown text is an error row.
inline RowStatus StatusNamed(std::string_view text) {
    constexpr std::array all{RowStatus::kDone, RowStatus::kDoneEmpty, RowStatus::kUntouched,
                             RowStatus::kError};
    for (const RowStatus status : all) {
        if (StatusText(status) == text) {
            return status;
        }
    }
    return RowStatus::kError;
}

}  // namespace karuneo::testing
