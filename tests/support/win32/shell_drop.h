#pragma once

#include <windows.h>
// windows.h first: ole2.h relies on its types.
#include <ole2.h>

#include <string>
#include <vector>

namespace karuneo::testing {

// A shell file list (CF_HDROP) of `paths` in wide characters, as Explorer
// hands one over; the receiver frees it.
HGLOBAL MakeHdrop(const std::vector<std::wstring>& paths);

// A data object as a drag source offers it: a file list when `paths` is
// given, else only text, which a file drop target must refuse.
IDataObject* MakeDataObject(const std::vector<std::wstring>* paths);

}  // namespace karuneo::testing
