#pragma once

#include "engine/error_number.h"

namespace karuneo::posix {

// `missing` is what ENOENT means for the operation at hand.
ErrorNumber FromErrno(int error, ErrorNumber missing = kPathNotFound);

}  // namespace karuneo::posix
