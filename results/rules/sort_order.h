#pragma once

#include <cstddef>

namespace karuneo {

// The order a header click put the rows in, as its arrow shows it.
struct SortOrder {
    int column = -1;  // none: the rows stand as they arrived
    bool descending = false;

    friend bool operator==(const SortOrder&, const SortOrder&) = default;
};

// A click on another column than the sorted one sorts by it from the
// smallest up; each further click on the same column turns the order round.
// A row that arrived since the sort ended it (it went to the end, out of
// that order): the next click starts from the smallest again.
SortOrder AfterHeaderClick(const SortOrder& now, int column);

// Where one row goes against another: negative before it, positive after.
// `compared` is how their texts in the sorted column compare, as the user's
// language orders them (negative, zero or positive); rows whose texts are
// equal keep the order they arrived in, whichever way the list is sorted,
// so that a second click turns the list round without shuffling them.
int RowOrder(int compared, std::size_t arrived, std::size_t other_arrived, bool descending);

}  // namespace karuneo
