#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "window/rules/progress_text.h"

namespace karuneo::win32 {

// What the drop area holds while the worker is busy: three lines of text
// (the folder in hand, its entries moved, the folders waiting), a progress
// bar that runs as a marquee until the total is known, and 中止. Its
// controls are children of the drop area, so that a drag over them still
// finds the drop area; hidden, the drop area looks as if they were not there.
class ProgressPanel {
  public:
    // The identifier the 中止 button's WM_COMMAND carries to the drop area.
    static constexpr int kStopButton = 15;

    ProgressPanel() = default;
    ProgressPanel(const ProgressPanel&) = delete;
    ProgressPanel& operator=(const ProgressPanel&) = delete;

    bool Create(HWND area);
    void SetFont(HFONT font);
    // Fits the controls into the drop area's present size, below its caption.
    void Layout();

    void Show(const ProgressLines& lines);
    void Hide();
    bool Shown() const { return shown_; }
    HWND StopButton() const { return stop_; }
    HWND Bar() const { return bar_; }
    HWND Line(int index) const { return lines_[static_cast<std::size_t>(index)]; }

  private:
    void SetLine(int index, const std::string& utf8);
    void SetBar(bool total_known, int percent);
    void ShowControls(int show_command) const;

    HWND area_ = nullptr;
    std::array<HWND, 3> lines_{};
    std::array<std::wstring, 3> shown_texts_;
    HWND bar_ = nullptr;
    HWND stop_ = nullptr;
    bool can_stop_ = true;
    bool shown_ = false;
    bool marquee_ = false;
    int percent_ = -1;
};

}  // namespace karuneo::win32
