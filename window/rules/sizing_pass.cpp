#include "window/rules/sizing_pass.h"

#include <algorithm>

#include "window/rules/layout_rules.h"
#include "window/rules/results_layout.h"
#include "window/rules/twip_rect.h"
#include "window/rules/window_geometry.h"
#include "window/rules/window_settings.h"

namespace karuneo {
class SettingsStore;

void SizingPass::Run(WindowGeometry& window, ResultsLayout& layout, SettingsStore& store) {
    if (!columns_created_) {
        // Set first: creating the columns may start a nested pass.
        columns_created_ = true;
        layout.CreateColumns();
    }
    if (window.State() == WindowState::kMinimized) {
        return;
    }
    // Clamping the size starts a new pass with the clamped size, yet that
    // pass may meet the minimum exactly, or never come if the windowing
    // system had already stopped there: lay out for the minimum now.
    const float width = window.Outer().width;
    if (width <= kMinWindowWidth) {
        window.SetOuterWidth(kMinWindowWidth);
    }
    FitWidth(std::max(width, kMinWindowWidth), layout);
    const float height = window.Outer().height;
    if (height <= kMinWindowHeight) {
        window.SetOuterHeight(kMinWindowHeight);
    }
    FitHeight(std::max(height, kMinWindowHeight), layout);
    SaveWindowState(window, store);
}

}  // namespace karuneo
