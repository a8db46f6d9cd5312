#pragma once

#include "window/rules/results_layout.h"

class QWidget;

namespace karuneo {

class ResultsList;

// Frame1 and ListView1 as ResultsLayout. Each keeps its position; only
// width and height follow the window.
class QtResultsLayout final : public ResultsLayout {
  public:
    QtResultsLayout(QWidget& frame, ResultsList& list) : frame_(frame), list_(list) {}

    void SetFrameWidth(float width) override;
    void SetFrameHeight(float height) override;
    void SetListWidth(float width) override;
    void SetListHeight(float height) override;
    float ListWidth() const override;
    void CreateColumns() override;
    void SetColumnWidths(float first, float second) override;

  private:
    int ListLength(float twips) const;

    QWidget& frame_;
    ResultsList& list_;
};

}  // namespace karuneo
