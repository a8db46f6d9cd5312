#include "window/rules/layout_rules.h"

#include "results/rules/column_widths.h"
#include "window/rules/results_layout.h"
#include "window/rules/twip_rect.h"

namespace karuneo {

void ApplyLoadLayout(const TwipRect& window, ResultsLayout& layout) {
    const float frame_width = window.width - kFrameWidthMargin;
    layout.SetFrameWidth(frame_width);
    layout.SetListWidth(frame_width - kListWidthMargin);
    const float frame_height = window.height - kFrameHeightMargin;
    layout.SetFrameHeight(frame_height);
    layout.SetListHeight(frame_height - kListHeightMargin);
}

void FitWidth(float window_width, ResultsLayout& layout) {
    const float frame_width = window_width - kFrameWidthMargin;
    layout.SetFrameWidth(frame_width);
    layout.SetListWidth(frame_width - kListWidthMargin);
    // The list may not have taken the width exactly; the columns must fill
    // what it really has.
    const ColumnWidths columns = ColumnWidthsFor(layout.ListWidth());
    layout.SetColumnWidths(columns.first, columns.second);
}

void FitHeight(float window_height, ResultsLayout& layout) {
    const float frame_height = window_height - kFrameHeightMargin;
    layout.SetFrameHeight(frame_height);
    layout.SetListHeight(frame_height - kListHeightMargin);
}

}  // namespace karuneo
