#include "window/rules/sizing_pass.h"

#include "window/rules/layout_rules.h"
#include "window/rules/window_settings.h"

namespace karuneo {

void SizingPass::Run(WindowGeometry& window, ResultsLayout& layout, SettingsStore& store) {
    if (!columns_created_) {
        // Set first: creating the columns may start a nested pass.
        columns_created_ = true;
        layout.CreateColumns();
    }
    if (window.State() == WindowState::kMinimized) {
        return;
    }
    // Clamping the size starts a new pass with the clamped size, which then
    // lays out; this one leaves frame and list as they were.
    const float width = window.Outer().width;
    if (width > kMinWindowWidth) {
        FitWidth(width, layout);
    } else {
        window.SetOuterWidth(kMinWindowWidth);
    }
    const float height = window.Outer().height;
    if (height > kMinWindowHeight) {
        FitHeight(height, layout);
    } else {
        window.SetOuterHeight(kMinWindowHeight);
    }
    if (window.State() == WindowState::kMaximized) {
        SaveMaximizedState(store);
    } else {
        SaveWindowSettings(window, store);
    }
}

}  // namespace karuneo
