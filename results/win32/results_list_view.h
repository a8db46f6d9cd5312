#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/result_sink.h"
#include "results/rules/finished_row.h"
#include "results/rules/row_details.h"
#include "results/rules/sort_order.h"

namespace karuneo::win32 {

// ListView1: one row per outcome of the engine, name and status, in the
// order they arrive. A header click sorts the rows present once, a second
// click on it the other way round, and the column's header shows the sort
// arrow of that direction until a row arrives: later rows go to the end, out
// of that order. Ctrl+A selects every row. Each row keeps the full path it was dropped
// as, shown as the row's tip and undone by 元に戻す. Only the thread that
// created it may touch it.
class ResultsListView final : public ResultSink {
  public:
    ResultsListView() = default;
    ResultsListView(const ResultsListView&) = delete;
    ResultsListView& operator=(const ResultsListView&) = delete;

    // The control itself, a child of `parent` that the parent destroys.
    HWND Create(HWND parent, int id);
    HWND Handle() const { return list_; }

    // A row the worker finished. Not scrolled into view: a batch of them is
    // scrolled once, with ScrollToNewest.
    void AddFinishedRow(const FinishedRow& row);
    void ScrollToNewest();

    // As a sink, for rows that come one at a time: each is scrolled into
    // view. `SetDroppedPath` is the path the rows that follow were dropped as.
    void SetDroppedPath(std::wstring path) { dropped_path_ = std::move(path); }
    void AddResult(std::string_view name, RowStatus status) override;
    // The same, with the row's reason in Japanese under the path in its tip.
    void AddResultWithReason(std::string_view name, RowStatus status,
                             const RowReason& reason) override;

    // Adds the two columns, sized from the list's present width.
    void CreateColumns();
    // Pixels; together they fill the width they were computed from.
    void SetColumnWidths(int first, int second);
    void RemoveAllRows();
    // The list's visible width, which the columns fill: when the vertical
    // scroll bar comes or goes the columns follow, keeping their shares,
    // so that no horizontal scroll bar ever appears.
    int ColumnSpace() const;

    // The path a row was dropped as, in UTF-8, for 元に戻す: none for a row
    // that came without one, or when there is no such row.
    std::optional<std::string> FocusedDroppedPath() const;
    std::optional<std::string> NewestDroppedPath() const;  // the last to arrive
    std::optional<std::string> DroppedPathAt(POINT screen) const;

    // Rows as a user reads them, for 詳細 and コピー: the focused one, the
    // one under a point on the screen, and the selected ones in the order
    // shown. None when there is no such row.
    std::optional<ShownRow> FocusedShownRow() const;
    std::optional<ShownRow> ShownRowAt(POINT screen) const;
    std::vector<ShownRow> SelectedShownRows() const;
    // Puts the selected rows on the clipboard as tab-separated lines; false
    // when none is selected or the clipboard would not take them.
    bool CopySelectedRows() const;

    void ListView1_ColumnClick(int column);
    void SelectAllRows();
    // Answers the list's notifications to its parent; false for those it
    // leaves to the parent.
    bool OnNotify(const NMHDR& header);

  private:
    struct Row {
        std::wstring name;
        std::wstring status;
        std::string dropped_path;  // UTF-8, as the worker takes it
        std::string reason;        // in Japanese, UTF-8; empty when the row has none
        RowKind kind = RowKind::kFolder;
    };

    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam,
                                     UINT_PTR id, DWORD_PTR self);
    void RefitColumns();
    void ShowSortArrow(const SortOrder& order);
    void AddRow(std::string_view name, std::string_view status, std::string dropped_path,
                std::string reason, RowKind kind);
    const Row* RowOfItem(int item) const;
    int FocusedItem() const;
    int ItemAt(POINT screen) const;
    static std::optional<std::string> DroppedPathOf(const Row* row);
    static ShownRow Shown(const Row& row);
    void AssertOnOwnThread() const;
    void ShowTip(NMHDR& header) const;

    HWND list_ = nullptr;
    // Rows stay here in arrival order; each list item's lParam is its index.
    std::vector<Row> rows_;
    std::wstring dropped_path_;
    SortOrder sort_;    // as the header's arrow shows it
    DWORD thread_ = 0;  // the one that created the control
};

}  // namespace karuneo::win32
