#pragma once

#include <string>
#include <string_view>

#include "engine/utf16_win32.h"

namespace karuneo::win32 {

// The window's own texts, its captions and its settings' names, are UTF-8 of
// its own making; one that were not would show empty rather than stop it.
inline std::wstring Wide(std::string_view text) {
    return Utf16FromUtf8(text).value_or(std::wstring());
}

}  // namespace karuneo::win32
