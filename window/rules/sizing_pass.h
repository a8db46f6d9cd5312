#pragma once

namespace karuneo {
class ResultsLayout;
class SettingsStore;
class WindowGeometry;

// What the window does each time its size or state changes: the columns on
// the first pass, the layout of frame and list, the minimum size, and the
// saving of the settings. One instance per window; it remembers whether the
// columns exist.
class SizingPass {
  public:
    void Run(WindowGeometry& window, ResultsLayout& layout, SettingsStore& store);

  private:
    bool columns_created_ = false;
};

}  // namespace karuneo
