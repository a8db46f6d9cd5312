#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "window/rules/run_history.h"

namespace karuneo {

// What the 履歴 dialog lists, apart from how it draws it: the kept runs and
// extractions in the order its header last asked for. Both windows keep one,
// so that a sort, a reload and the row under the selection agree in both.
class HistoryList {
  public:
    explicit HistoryList(std::string journal_folder) : journal_folder_(std::move(journal_folder)) {}

    // Reads the journal folder again, in the order last asked for.
    void Reload();
    // Clicking the sorted column again turns the order round; the list's own
    // order is newest first, so a time sorts newest first too.
    void SortBy(HistoryColumn column);

    const std::vector<HistoryRow>& Rows() const { return rows_; }
    // The row at a list control's index; none for its "no selection" (-1),
    // or past the end.
    const HistoryRow* At(long long index) const;
    // Where the run or extraction of `journal` is listed now; none for "".
    std::optional<std::size_t> IndexOf(const std::string& journal) const;

    std::optional<HistoryColumn> SortedColumn() const { return sorted_column_; }
    bool Ascending() const { return ascending_; }

  private:
    std::string journal_folder_;
    std::vector<HistoryRow> rows_;
    std::optional<HistoryColumn> sorted_column_;  // none: the list's own order
    bool ascending_ = false;
};

// Whether the button of `action` is enabled with `row` selected (none when
// nothing is), and so whether a press of it does anything.
bool Enables(const HistoryRow* row, HistoryAction action);

}  // namespace karuneo
