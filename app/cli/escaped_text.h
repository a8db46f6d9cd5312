#pragma once

#include <string>
#include <string_view>

namespace karuneo::cli {

// One row must be one line, and a name must not drive the terminal: control
// characters of UTF-8 text are shown as escapes ("\n", "\t", "\x1b", "\u0085"
// for the C1 range, "\u2028" for the line and paragraph separators and the
// marks that reorder text, such as "\u202e") and a backslash as "\\", so
// that the text can be read back without doubt.
std::string EscapeControls(std::string_view text);

}  // namespace karuneo::cli
