#pragma once

#include <string>

namespace karuneo {

// How this platform's own error codes (errno, GetLastError()) read to a user.
enum class SystemCause { kOther, kNoPermission, kLink, kNameTooLong, kBadName };

SystemCause ClassifySystemCode(int code);

// The system's message for `code` in UTF-8, without a closing period or line
// break; empty when the system has none.
std::string SystemMessage(int code);

}  // namespace karuneo
