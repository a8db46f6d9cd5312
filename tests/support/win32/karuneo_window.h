#pragma once

#include <windows.h>

namespace karuneo::testing {

// The rows in the results list of the karuneo.exe window that `thread` runs.
// A test waits on these, never on the folders: listing a folder while the
// window renames the chain in it holds a handle that makes the rename a
// sharing violation, and the row would read エラー.
int ListedRows(DWORD thread);

// Asks every window of `thread` to close, as its close box would.
void CloseWindowsOf(DWORD thread);

}  // namespace karuneo::testing
