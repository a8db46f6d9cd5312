#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace karuneo::testing {

using WideRow = std::pair<std::wstring, std::wstring>;

// The rows of a list-view control as it shows them: main text and first
// sub-item, read back with LVM_GETITEMTEXTW.
std::vector<WideRow> ListRows(HWND list);

int ColumnCount(HWND list);
int ColumnWidth(HWND list, int column);

}  // namespace karuneo::testing
