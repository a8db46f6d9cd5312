#pragma once

#include "engine/error_number.h"

namespace karuneo::win32 {

// `missing` is what ERROR_FILE_NOT_FOUND means for the operation at hand.
// Takes the value of GetLastError(); unsigned long is what DWORD is.
ErrorNumber FromWin32Error(unsigned long error, ErrorNumber missing = kPathNotFound);

}  // namespace karuneo::win32
