#include "tests/support/win32/list_rows.h"

// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

namespace karuneo::testing {
namespace {

std::wstring ItemText(HWND list, int row, int column) {
    wchar_t text[1024] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    return text;
}

}  // namespace

std::vector<WideRow> ListRows(HWND list) {
    std::vector<WideRow> rows;
    const auto count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        rows.emplace_back(ItemText(list, row, 0), ItemText(list, row, 1));
    }
    return rows;
}

int ColumnCount(HWND list) {
    const auto header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    return static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

int ColumnWidth(HWND list, int column) {
    return static_cast<int>(
        ::SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

}  // namespace karuneo::testing
