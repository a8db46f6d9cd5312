#include "window/qt/qt_results_layout.h"

#include <QWidget>
#include <algorithm>

#include "results/qt/results_list.h"
#include "window/rules/device_pixels.h"
#include "window/rules/twips.h"

namespace karuneo {
namespace {

// A window barely larger than its minimum leaves no room; a widget cannot be
// narrower than nothing.
int Length(float twips) {
    return std::max(0, TwipsToPixels(twips));
}

}  // namespace

void QtResultsLayout::SetFrameWidth(float width) {
    frame_.resize(Length(width), frame_.height());
}

void QtResultsLayout::SetFrameHeight(float height) {
    frame_.resize(frame_.width(), Length(height));
}

// At a fractional scale the list keeps its right and bottom border lines.
int QtResultsLayout::ListLength(float twips) const {
    return LengthWithWholeInnerEdge(Length(twips), list_.frameWidth(), list_.devicePixelRatioF());
}

void QtResultsLayout::SetListWidth(float width) {
    list_.resize(ListLength(width), list_.height());
}

void QtResultsLayout::SetListHeight(float height) {
    list_.resize(list_.width(), ListLength(height));
}

float QtResultsLayout::ListWidth() const {
    return PixelsToTwips(list_.ColumnSpace());
}

void QtResultsLayout::CreateColumns() {
    list_.CreateColumns();
}

void QtResultsLayout::SetColumnWidths(float first, float second) {
    list_.SetColumnWidths(first, second);
}

}  // namespace karuneo
