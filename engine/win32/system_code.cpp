#include "engine/reason/system_code.h"

#include <windows.h>

#include <string_view>

#include "engine/win32/utf16.h"

namespace karuneo {
namespace {

// ERROR_STOPPED_ON_SYMLINK, which mingw-w64's headers lack: the layer gives
// it for a reparse point that it refuses to pass through.
constexpr DWORD kStoppedOnLink = 681;

std::wstring_view WithoutClosing(std::wstring_view text) {
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.' || text.back() == L'。')) {
        text.remove_suffix(1);
    }
    return text;
}

// The system's text for `code` in `language` (0: the user's), as one line.
std::wstring FormattedMessage(DWORD code, LANGID language) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, language, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) {
        return {};
    }
    std::wstring message(WithoutClosing(std::wstring_view(text, length)));
    ::LocalFree(text);
    // A message of several lines reads as one.
    for (auto& c : message) {
        c = c == L'\r' || c == L'\n' ? L' ' : c;
    }
    return message;
}

}  // namespace

SystemCause ClassifySystemCode(int code) {
    switch (static_cast<DWORD>(code)) {
        case ERROR_ACCESS_DENIED:
            return SystemCause::kNoPermission;
        case kStoppedOnLink:
            return SystemCause::kLink;
        case ERROR_FILENAME_EXCED_RANGE:
            return SystemCause::kNameTooLong;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            return SystemCause::kBadName;
        default:
            return SystemCause::kOther;
    }
}

std::string SystemMessage(int code, MessageLanguage language) {
    if (code == 0) {
        return {};
    }
    // The message in the wording's own language where Windows has it (a
    // Japanese Windows has both); otherwise in the user's.
    const LANGID wanted = language == MessageLanguage::kJapanese
                              ? MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN)
                              : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    std::wstring message = FormattedMessage(static_cast<DWORD>(code), wanted);
    if (message.empty()) {
        message = FormattedMessage(static_cast<DWORD>(code), 0);
    }
    return win32::Utf8FromUtf16(message);
}

}  // namespace karuneo
