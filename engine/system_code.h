#pragma once

#include <string>
#include <utility>

#include "engine/error_number.h"
#include "engine/reason/cause.h"

namespace karuneo {

// What one of this platform's own error codes (errno, GetLastError()) means,
// read from one table per platform: the number the walk tests, and the cause
// a row names (kSystem where the system's message says it best).
struct SystemCodeMeaning {
    ErrorNumber number = kPathFileAccessError;
    Cause cause = Cause::kSystem;
};

SystemCodeMeaning MeaningOfSystemCode(int code);

// The failure the system reported as `code`, about `entry`.
inline Failure SystemFailure(int code, std::string entry = {}) {
    return Failure(MeaningOfSystemCode(code).number, code, std::move(entry));
}

// The languages the reasons are worded in.
enum class MessageLanguage { kJapanese, kEnglish };

// The system's message for `code` in UTF-8 and in `language`, without a
// closing period or line break; empty when the system has none. A message in
// the user's locale would read as a foreign phrase inside a sentence of the
// other language, so each wording asks for its own.
std::string SystemMessage(int code, MessageLanguage language);

}  // namespace karuneo
