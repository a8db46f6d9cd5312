#pragma once

#include <QTreeWidget>
#include <string_view>

#include "engine/result_sink.h"

class QMenu;
class QMouseEvent;

namespace karuneo {

// ListView1: one row per outcome of the engine, name and status, in the
// order they arrive. A header click sorts the rows present once; rows that
// arrive later go to the end, so the last drop's outcome is easy to find.
class ResultsList final : public QTreeWidget, public ResultSink {
  public:
    explicit ResultsList(QWidget* parent = nullptr);

    void AddResult(std::string_view name, std::string_view status) override;

    // Adds the two columns, sized from the list's present width.
    void CreateColumns();
    // Twips, like every length the layout rules hand out.
    void SetColumnWidths(float first, float second);
    void RemoveAllRows();
    // What the columns can fill without a horizontal scroll bar, room for
    // the vertical one kept, so that rows arriving do not make it appear.
    float ColumnSpace() const;

    // The menu a right click pops up; owned by the window.
    void SetContextMenu(QMenu* menu) { context_menu_ = menu; }

    void ListView1_ColumnClick(int column);

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void ListView1_MouseDown(const QMouseEvent& event);

    QMenu* context_menu_ = nullptr;
};

}  // namespace karuneo
