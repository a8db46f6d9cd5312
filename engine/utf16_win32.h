#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace karuneo::win32 {

// Windows names are sequences of 16-bit units that need not be valid UTF-16:
// a lone surrogate is a legal name. Such units are carried through as their
// three-byte form (WTF-8) so that every name listed can be moved again by
// the same name; valid UTF-16 gives plain UTF-8.
std::string Utf8FromUtf16(std::wstring_view text);

// The inverse; nothing when the text is not UTF-8 (or its WTF-8 extension).
std::optional<std::wstring> Utf16FromUtf8(std::string_view text);

}  // namespace karuneo::win32
