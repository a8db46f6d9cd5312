#include "window/rules/history_list.h"

#include <memory>

namespace karuneo {

void HistoryList::Reload() {
    rows_ = ReadRunHistory(journal_folder_);
    if (sorted_column_) {
        SortHistory(rows_, *sorted_column_, ascending_);
    }
}

void HistoryList::SortBy(HistoryColumn column) {
    ascending_ = column == sorted_column_ ? !ascending_ : column != HistoryColumn::kTime;
    sorted_column_ = column;
    SortHistory(rows_, column, ascending_);
}

const HistoryRow* HistoryList::At(long long index) const {
    return index >= 0 && static_cast<std::size_t>(index) < rows_.size()
               ? &rows_[static_cast<std::size_t>(index)]
               : nullptr;
}

std::optional<std::size_t> HistoryList::IndexOf(const std::string& journal) const {
    if (journal.empty()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].journal == journal) {
            return i;
        }
    }
    return std::nullopt;
}

bool Enables(const HistoryRow* row, HistoryAction action) {
    return row != nullptr && Allows(*row, action);
}

}  // namespace karuneo
