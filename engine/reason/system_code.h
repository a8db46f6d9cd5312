#pragma once

#include <string>

namespace karuneo {

// How this platform's own error codes (errno, GetLastError()) read to a user.
enum class SystemCause { kOther, kNoPermission, kLink, kNameTooLong, kBadName };

SystemCause ClassifySystemCode(int code);

// The languages the reasons are worded in.
enum class MessageLanguage { kJapanese, kEnglish };

// The system's message for `code` in UTF-8 and in `language`, without a
// closing period or line break; empty when the system has none. A message in
// the user's locale would read as a foreign phrase inside a sentence of the
// other language, so each wording asks for its own.
std::string SystemMessage(int code, MessageLanguage language);

}  // namespace karuneo
