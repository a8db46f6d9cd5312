#pragma once

#include <string>
#include <string_view>

namespace karuneo {

// Whether a backslash of the text is doubled. The command line doubles it,
// so that a script can read every escape back without doubt; the windows
// leave it, so that a Windows path reads, and pastes into Explorer, as the
// path it is (a name there cannot hold a backslash anyway).
enum class Backslash { kDoubled, kKept };

// One row must be one line, and a name must not drive the terminal or
// reorder a row on screen: control characters of UTF-8 text are shown as
// escapes ("\n", "\t", "\x1b", "\u0085" for the C1 range, "\u2028" for the
// line and paragraph separators and the marks that reorder text, such as
// "\u202e"). Other bytes, even those that are no UTF-8, stay as they are.
std::string EscapeControls(std::string_view text, Backslash backslash = Backslash::kDoubled);

// A name or path as the windows show it, in the list, its tips, 詳細 and
// コピー: bytes that are no UTF-8 as U+FFFD, controls and reordering marks
// escaped, backslashes kept.
std::string ShownInWindow(std::string_view bytes);

}  // namespace karuneo
