#pragma once

namespace karuneo {

// Locale-free: the settings and display names it reads are bytes, not text
// of the user's language.
constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace karuneo
