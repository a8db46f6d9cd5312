#pragma once

#include <QCollator>
#include <QString>
#include <QTimer>
#include <QTreeWidget>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/result_sink.h"
#include "results/rules/finished_row.h"
#include "results/rules/row_details.h"
#include "results/rules/sort_order.h"

class QContextMenuEvent;
class QEvent;
class QKeyEvent;
class QMenu;
class QMouseEvent;

namespace karuneo {

// ListView1: one row per outcome of the engine, name and status, in the
// order they arrive. A header click sorts the rows present once, a second
// click on it the other way round, and the header's arrow shows which; rows
// that arrive later go to the end, so the last drop's outcome is easy to
// find, and the arrow goes. Ctrl+A selects every row.
class ResultsList final : public QTreeWidget, public ResultSink {
  public:
    explicit ResultsList(QWidget* parent = nullptr);

    // Appends the row; the newest row is scrolled into view shortly after,
    // once for a whole burst of rows: each scroll lays the list out anew.
    void AddResult(std::string_view name, RowStatus status) override;
    // The same, with the row's reason in Japanese under the path in its
    // tool tip.
    void AddResultWithReason(std::string_view name, RowStatus status,
                             const RowReason& reason) override;
    // The full path of the dropped folder the rows that follow belong to,
    // shown as their tool tip: rows of two folders of the same name, or of
    // names cut short, can then be told apart.
    void SetDroppedPath(std::string_view path);
    // A row as the worker finished it, its dropped path as its tool tip.
    void AddFinishedRow(const FinishedRow& row);
    // Many at once, the list told of them once: row by row, each insertion
    // lays the view out anew.
    void AddFinishedRows(const std::vector<FinishedRow>& rows);
    // The path, as the bytes it was dropped as, of the current row or of
    // the newest; nothing when there is no such row or it came without one.
    std::optional<std::string> CurrentDroppedPath() const;
    std::optional<std::string> NewestDroppedPath() const;

    // Adds the two columns, sized from the list's present width.
    void CreateColumns();
    // Only the shares of the two count, so any unit will do. The columns keep
    // these shares of the visible width, whether a scroll bar takes part
    // of it or not.
    void SetColumnWidths(float first, float second);
    void RemoveAllRows();
    // What the columns share: the width inside the list's border, in pixels.
    int ColumnSpace() const;

    // The menu a right click pops up; owned by the window. The menu key and
    // Shift+F10 open it too, below the current row (below the header when
    // there is none).
    void SetContextMenu(QMenu* menu) { context_menu_ = menu; }
    // What Enter on a row asks for: the window shows the row's 詳細.
    void SetDetailsHandler(std::function<void()> show) { show_details_ = std::move(show); }

    // The current row as a user reads it, and the selected ones in the
    // list's order, for 詳細 and コピー.
    std::optional<ShownRow> CurrentShownRow() const;
    std::vector<ShownRow> SelectedShownRows() const;
    // Puts the selected rows on the clipboard as tab-separated lines.
    void CopySelectedRows() const;

    void ListView1_ColumnClick(int column);
    // The order of the last sort; none once a row arrived after it.
    const SortOrder& Order() const { return order_; }

    // The order of the sort: as a file manager lists names.
    const QCollator& Collator();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

  private:
    void AddRow(std::string_view name, std::string_view status, const QString& tip, RowKind kind);
    void AddRowWithReason(std::string_view name, std::string_view status, const RowReason& reason,
                          RowKind kind);
    void ListView1_MouseDown(const QMouseEvent& event);
    void ShowMenuFromKeyboard();
    void FitColumns();
    void ScrollToNewest();
    void ShowOrder(const SortOrder& order);
    void ShowArrow();

    QMenu* context_menu_ = nullptr;
    std::function<void()> show_details_;
    QString reason_;  // of the rows that follow, as SetDroppedPath's path
    QList<QTreeWidgetItem*>* collected_ = nullptr;  // rows to insert together
    QTimer scroll_soon_;
    QString dropped_path_;
    QString dropped_tip_;       // the path, wrapped and cut as every tip
    QByteArray dropped_bytes_;  // exact: a name need not be UTF-8
    float first_share_ = 0.6f;
    // Made at the first sort: opening a collation costs start-up time.
    std::optional<QCollator> collator_;
    SortOrder order_;
    std::size_t arrivals_ = 0;  // rows added so far, for ties of a sort
};

}  // namespace karuneo
