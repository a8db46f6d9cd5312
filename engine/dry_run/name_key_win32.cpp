#include <windows.h>

#include "engine/dry_run/name_key.h"
#include "engine/utf16_win32.h"

namespace karuneo::dry_run {

// NTFS compares names by the upper case of each UTF-16 unit, as the
// invariant locale maps it; a name that is no UTF-16 is kept as it is.
std::string NameKey(std::string_view name) {
    auto wide = win32::Utf16FromUtf8(name);
    if (!wide || wide->empty()) {
        return std::string(name);
    }
    const int length = static_cast<int>(wide->size());
    std::wstring upper(wide->size(), L'\0');
    if (::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide->data(), length, upper.data(),
                        length, nullptr, nullptr, 0) != length) {
        return std::string(name);
    }
    return win32::Utf8FromUtf16(upper);
}

}  // namespace karuneo::dry_run
