#include "results/rules/finished_row.h"

#include "results/rules/status_text.h"

namespace karuneo {

std::string_view FinishedStatusText(const FinishedRow& row) {
    if (row.work == RowWork::kRun) {
        return StatusText(row.status);
    }
    const bool undone = row.status == RowStatus::kDone || row.status == RowStatus::kDoneEmpty;
    return undone ? kStatusUndone : kStatusError;
}

}  // namespace karuneo
