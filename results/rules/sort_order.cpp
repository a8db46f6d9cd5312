#include "results/rules/sort_order.h"

namespace karuneo {

SortOrder AfterHeaderClick(const SortOrder& now, int column) {
    if (now.column != column) {
        return {column, false};
    }
    return {column, !now.descending};
}

int RowOrder(int compared, std::size_t arrived, std::size_t other_arrived, bool descending) {
    if (compared != 0) {
        const int sign = compared < 0 ? -1 : 1;
        return descending ? -sign : sign;
    }
    if (arrived == other_arrived) {
        return 0;
    }
    return arrived < other_arrived ? -1 : 1;
}

}  // namespace karuneo
