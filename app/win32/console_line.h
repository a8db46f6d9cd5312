#pragma once

#include <string_view>

namespace karuneo::win32 {

enum class Stream { kOutput, kError };

// Writes one line (UTF-8, without its end) where the person who started
// karuneo.exe can read it. The window program has no console of its own: a
// redirected handle gets UTF-8 bytes, so `karuneo.exe --version > v.txt`
// works; otherwise the line goes to the console it was started from, if any.
// Lines within `line` end as Windows ends them. False when it reached no one.
bool PrintLine(std::string_view line, Stream stream);

}  // namespace karuneo::win32
