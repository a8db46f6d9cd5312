#pragma once

namespace karuneo {

struct ColumnWidths {
    float first = 0;
    float second = 0;
};

// The name column gets 60 %, the status column 40 % of the list's width, in
// whatever unit the width is given.
ColumnWidths ColumnWidthsFor(float list_width);

}  // namespace karuneo
