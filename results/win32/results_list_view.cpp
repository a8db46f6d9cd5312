#include "results/win32/results_list_view.h"

// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

#include <algorithm>
#include <cassert>

#include "engine/display_text.h"
#include "engine/utf16_win32.h"
#include "results/rules/bounded_text.h"
#include "results/rules/column_captions.h"
#include "results/rules/column_widths.h"
#include "results/rules/escaped_text.h"
#include "results/rules/reason_text.h"
#include "results/rules/sort_order.h"
#include "results/rules/status_text.h"
#include "results/win32/clipboard_text.h"

namespace karuneo::win32 {
namespace {

// Names come as the engine found them, as WTF-8 when they hold a lone
// surrogate, which the list shows as it is; one that is not even WTF-8 is
// shown as readable text instead.
std::wstring Wide(std::string_view text) {
    if (auto wide = Utf16FromUtf8(text)) {
        return *std::move(wide);
    }
    return Utf16FromUtf8(ToDisplayText(text)).value_or(std::wstring());
}

// A name or path, which may hold line breaks and marks that would reorder
// the row.
std::wstring FromBytes(std::string_view bytes) {
    return Wide(EscapeControls(bytes, Backslash::kKept));
}

constexpr UINT_PTR kSubclassId = 1;

int ItemCount(HWND list) {
    return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

int ColumnCount(HWND list) {
    const auto header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    return static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

void InsertColumn(HWND list, int position, std::string_view caption, int width) {
    std::wstring text = Utf16FromUtf8(caption).value_or(std::wstring{});
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text.data();
    column.cx = width;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(position),
                   reinterpret_cast<LPARAM>(&column));
}

// Names sort as people read them: "2" before "10", "a" beside "A", in the
// user's own language.
int CompareText(const std::wstring& left, const std::wstring& right) {
    const int order =
        ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, LINGUISTIC_IGNORECASE | SORT_DIGITSASNUMBERS,
                          left.c_str(), static_cast<int>(left.size()), right.c_str(),
                          static_cast<int>(right.size()), nullptr, nullptr, 0);
    if (order != 0) {
        return order - CSTR_EQUAL;
    }
    // A system without those flags still sorts, ignoring case alone.
    return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, left.c_str(),
                             static_cast<int>(left.size()), right.c_str(),
                             static_cast<int>(right.size()), nullptr, nullptr, 0) -
           CSTR_EQUAL;
}

// The path it was dropped as, then on the next line why, when there is a
// why; wrapped and cut short, as a reason can name thousands of entries.
std::wstring TipText(std::string_view dropped_path, std::string_view reason) {
    std::string text = EscapeControls(dropped_path, Backslash::kKept);
    if (!reason.empty()) {
        if (!text.empty()) {
            text += '\n';
        }
        text += reason;
    }
    std::wstring tip;
    for (const wchar_t c : Wide(BoundedText(text, kTipColumns, kTipLines))) {
        if (c == L'\n') {
            tip += L'\r';
        }
        tip += c;
    }
    return tip;
}

}  // namespace

HWND ResultsListView::Create(HWND parent, int id) {
    list_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
                              0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              ::GetModuleHandleW(nullptr), nullptr);
    thread_ = ::GetCurrentThreadId();
    if (list_ != nullptr) {
        const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_DOUBLEBUFFER;
        ::SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
        ::SetWindowSubclass(list_, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    }
    return list_;
}

void ResultsListView::AddFinishedRow(const FinishedRow& row) {
    AddRow(row.name, FinishedStatusText(row), row.dropped_path,
           ReasonInJapanese(row.reason, row.name, &ShownInWindow), row.kind);
}

void ResultsListView::ScrollToNewest() {
    AssertOnOwnThread();
    const int count = ItemCount(list_);
    if (count > 0) {
        ::SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(count - 1), FALSE);
    }
}

void ResultsListView::AddResult(std::string_view name, RowStatus status) {
    AddResultWithReason(name, status, RowReason{});
}

void ResultsListView::AddResultWithReason(std::string_view name, RowStatus status,
                                          const RowReason& reason) {
    AddRow(name, StatusText(status), Utf8FromUtf16(dropped_path_),
           ReasonInJapanese(reason, name, &ShownInWindow), RowKind::kFolder);
    ScrollToNewest();
}

void ResultsListView::AssertOnOwnThread() const {
    assert(thread_ == ::GetCurrentThreadId() && "the list is the window thread's alone");
}

void ResultsListView::AddRow(std::string_view name, std::string_view status,
                             std::string dropped_path, std::string reason, RowKind kind) {
    AssertOnOwnThread();
    rows_.push_back(
        {FromBytes(name), Wide(status), std::move(dropped_path), std::move(reason), kind});
    Row& row = rows_.back();
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = ItemCount(list_);
    item.pszText = row.name.data();
    item.lParam = static_cast<LPARAM>(rows_.size() - 1);
    const auto index = ::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (index < 0) {
        return;
    }
    item.iSubItem = 1;
    item.pszText = row.status.data();
    ::SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&item));
    RefitColumns();
    ShowSortArrow({});
}

void ResultsListView::CreateColumns() {
    const int first = ColumnCount(list_);
    const ColumnWidths widths = ColumnWidthsFor(static_cast<float>(ColumnSpace()));
    const int first_width = static_cast<int>(widths.first);
    InsertColumn(list_, first, kNameColumnCaption, first_width);
    InsertColumn(list_, first + 1, kStatusColumnCaption, ColumnSpace() - first_width);
}

void ResultsListView::SetColumnWidths(int first, int second) {
    ::SendMessageW(list_, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(std::max(0, first), 0));
    ::SendMessageW(list_, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(std::max(0, second), 0));
}

void ResultsListView::RemoveAllRows() {
    ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    rows_.clear();
    RefitColumns();
    ShowSortArrow({});
}

int ResultsListView::ColumnSpace() const {
    RECT client{};
    ::GetClientRect(list_, &client);
    return std::max(0, static_cast<int>(client.right));
}

void ResultsListView::RefitColumns() {
    if (ColumnCount(list_) != 2) {
        return;
    }
    const int first = ListView_GetColumnWidth(list_, 0);
    const int both = first + ListView_GetColumnWidth(list_, 1);
    const int space = ColumnSpace();
    if (both <= 0 || both == space) {
        return;
    }
    const int first_share = ::MulDiv(first, space, both);
    SetColumnWidths(first_share, space - first_share);
}

LRESULT CALLBACK ResultsListView::ListProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam,
                                           UINT_PTR, DWORD_PTR self) {
    const LRESULT result = ::DefSubclassProc(list, message, wparam, lparam);
    if (message == WM_SIZE) {
        reinterpret_cast<ResultsListView*>(self)->RefitColumns();
    } else if (message == WM_KEYDOWN && wparam == 'A' && ::GetKeyState(VK_CONTROL) < 0) {
        reinterpret_cast<ResultsListView*>(self)->SelectAllRows();
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(list, ListProc, kSubclassId);
    }
    return result;
}

int ResultsListView::FocusedItem() const {
    return static_cast<int>(
        ::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

int ResultsListView::ItemAt(POINT screen) const {
    LVHITTESTINFO hit{};
    hit.pt = screen;
    ::ScreenToClient(list_, &hit.pt);
    return static_cast<int>(::SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

const ResultsListView::Row* ResultsListView::RowOfItem(int item) const {
    if (item < 0) {
        return nullptr;
    }
    LVITEMW query{};
    query.mask = LVIF_PARAM;
    query.iItem = item;
    if (!::SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)) ||
        static_cast<std::size_t>(query.lParam) >= rows_.size()) {
        return nullptr;
    }
    return &rows_[static_cast<std::size_t>(query.lParam)];
}

std::optional<std::string> ResultsListView::DroppedPathOf(const Row* row) {
    if (row == nullptr || row->dropped_path.empty()) {
        return std::nullopt;
    }
    return row->dropped_path;
}

std::optional<std::string> ResultsListView::FocusedDroppedPath() const {
    return DroppedPathOf(RowOfItem(FocusedItem()));
}

std::optional<std::string> ResultsListView::NewestDroppedPath() const {
    // Arrival order, which a sort leaves alone: the run done last.
    return rows_.empty() ? std::nullopt : DroppedPathOf(&rows_.back());
}

std::optional<std::string> ResultsListView::DroppedPathAt(POINT screen) const {
    return DroppedPathOf(RowOfItem(ItemAt(screen)));
}

ShownRow ResultsListView::Shown(const Row& row) {
    return {Utf8FromUtf16(row.name), Utf8FromUtf16(row.status), ShownInWindow(row.dropped_path),
            row.reason, row.kind};
}

std::optional<ShownRow> ResultsListView::FocusedShownRow() const {
    const Row* row = RowOfItem(FocusedItem());
    return row == nullptr ? std::nullopt : std::optional(Shown(*row));
}

std::optional<ShownRow> ResultsListView::ShownRowAt(POINT screen) const {
    const Row* row = RowOfItem(ItemAt(screen));
    return row == nullptr ? std::nullopt : std::optional(Shown(*row));
}

std::vector<ShownRow> ResultsListView::SelectedShownRows() const {
    std::vector<ShownRow> shown;
    for (int item = ListView_GetNextItem(list_, -1, LVNI_SELECTED); item >= 0;
         item = ListView_GetNextItem(list_, item, LVNI_SELECTED)) {
        if (const Row* row = RowOfItem(item)) {
            shown.push_back(Shown(*row));
        }
    }
    return shown;
}

bool ResultsListView::CopySelectedRows() const {
    const std::vector<ShownRow> rows = SelectedShownRows();
    return !rows.empty() && PutOnClipboard(list_, Wide(TabSeparatedRows(rows)));
}

void ResultsListView::ListView1_ColumnClick(int column) {
    const SortOrder order = AfterHeaderClick(sort_, column);
    // The list hands each item's lParam, the index of its row here, which is
    // also its arrival: reading the items' texts back while the list sorts
    // them is not reliable.
    struct Request {
        const std::vector<Row>* rows;
        SortOrder order;
    };
    Request request{&rows_, order};
    const auto compare = [](LPARAM left, LPARAM right, LPARAM sort) -> int {
        const auto& how = *reinterpret_cast<const Request*>(sort);
        const Row& a = (*how.rows)[static_cast<std::size_t>(left)];
        const Row& b = (*how.rows)[static_cast<std::size_t>(right)];
        const int compared =
            how.order.column == 0 ? CompareText(a.name, b.name) : CompareText(a.status, b.status);
        return RowOrder(compared, static_cast<std::size_t>(left), static_cast<std::size_t>(right),
                        how.order.descending);
    };
    ::SendMessageW(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&request),
                   reinterpret_cast<LPARAM>(static_cast<PFNLVCOMPARE>(compare)));
    ShowSortArrow(order);
}

void ResultsListView::SelectAllRows() {
    LVITEMW selected{};
    selected.stateMask = LVIS_SELECTED;
    selected.state = LVIS_SELECTED;
    ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&selected));
}

void ResultsListView::ShowSortArrow(const SortOrder& order) {
    if (order == sort_) {
        return;
    }
    sort_ = order;
    const HWND header = ListView_GetHeader(list_);
    for (int at = 0; at < ColumnCount(list_); ++at) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(at),
                            reinterpret_cast<LPARAM>(&item))) {
            continue;
        }
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (at == order.column) {
            item.fmt |= order.descending ? HDF_SORTDOWN : HDF_SORTUP;
        }
        ::SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(at),
                       reinterpret_cast<LPARAM>(&item));
    }
}

bool ResultsListView::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_) {
        return false;
    }
    switch (header.code) {
        case LVN_COLUMNCLICK:
            ListView1_ColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
            return true;
        case LVN_GETINFOTIPW:
            ShowTip(const_cast<NMHDR&>(header));
            return true;
        default:
            return false;
    }
}

void ResultsListView::ShowTip(NMHDR& header) const {
    auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(header);
    const Row* row = RowOfItem(tip.iItem);
    if (tip.pszText == nullptr || tip.cchTextMax <= 0 || row == nullptr) {
        return;
    }
    const std::wstring text = TipText(row->dropped_path, row->reason);
    // A tip keeps to one line unless it is given a width to wrap at; the
    // text is wrapped already, so any width it never reaches will do.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(list_, MONITOR_DEFAULTTONEAREST), &monitor);
    ::SendMessageW(ListView_GetToolTips(list_), TTM_SETMAXTIPWIDTH, 0,
                   monitor.rcWork.right - monitor.rcWork.left);
    const std::size_t room = static_cast<std::size_t>(tip.cchTextMax) - 1;
    const std::size_t length = std::min(text.size(), room);
    text.copy(tip.pszText, length);
    tip.pszText[length] = L'\0';
}

}  // namespace karuneo::win32
