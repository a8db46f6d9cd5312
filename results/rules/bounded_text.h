#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace karuneo {

// How much a row's tip shows: a reason can name thousands of entries, and a
// tip as tall as the screen can neither be read nor closed. The Windows list
// hands at most 1 023 characters to a tip; this many lines of this many
// columns stay within that.
inline constexpr std::size_t kTipColumns = 80;
inline constexpr std::size_t kTipLines = 12;

// `text` in lines of at most `columns` columns (a wide character, as in
// Japanese, takes two), broken after a space or a path separator where the
// line has one, and anywhere else where it has none, such as in a long
// name; line breaks of the text stay. Only the first `max_lines` lines are
// kept, the last of them then ending in "…".
std::string BoundedText(std::string_view text, std::size_t columns, std::size_t max_lines);

}  // namespace karuneo
