#pragma once

#include <string>
#include <string_view>

namespace karuneo::dry_run {

// A name or path as one token that is safe to print on a terminal and can be
// read back exactly. Printable UTF-8 without spaces or double quotes stands
// as it is. Anything else goes in double quotes, where \\ and \" stand for
// themselves, \xHH for a byte that is a control character or not UTF-8, and
// \u{H...} for a character that controls the terminal or the direction of
// text: no name can move the cursor, change colours or disguise another.
std::string TerminalToken(std::string_view text);

}  // namespace karuneo::dry_run
