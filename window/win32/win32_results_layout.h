#pragma once

#include <windows.h>

#include "window/rules/results_layout.h"

namespace karuneo::win32 {

class ResultsListView;

// Frame1 and ListView1 for the layout rules: twips in, pixels at the
// window's DPI out. Only sizes change; both keep their places.
class Win32ResultsLayout final : public ResultsLayout {
  public:
    Win32ResultsLayout(HWND frame, ResultsListView& list) : frame_(frame), list_(list) {}

    void SetFrameWidth(float width) override;
    void SetFrameHeight(float height) override;
    void SetListWidth(float width) override;
    void SetListHeight(float height) override;
    float ListWidth() const override;

    void CreateColumns() override;
    void SetColumnWidths(float first, float second) override;

  private:
    int Pixels(float twips) const;

    HWND frame_;
    ResultsListView& list_;
};

}  // namespace karuneo::win32
