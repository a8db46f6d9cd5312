#include "results/rules/column_widths.h"

namespace karuneo {

ColumnWidths ColumnWidthsFor(float list_width) {
    return {list_width * 60 / 100, list_width * 40 / 100};
}

}  // namespace karuneo
