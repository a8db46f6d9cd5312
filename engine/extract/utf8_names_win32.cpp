// On Windows libarchive keeps every name it converts as UTF-16, and the
// bytes of a name it does not convert as they are; the reader asks for the
// former (archive_entry_pathname_w) and tells the two apart itself. What
// libarchive must not do is convert names it was not told how to: it does
// when the locale's code page differs from the OEM one, reading them as
// CP437 or whatever the OEM code page is. In the "C" locale both are the
// same to it, so it leaves them alone, as it does on Linux. msvcrt cannot
// take a UTF-8 locale at all, so "C" is also the only one that is the same
// on every Windows.
#include <locale.h>
#include <windows.h>

#include <array>
#include <cctype>
#include <optional>
#include <string>
#include <string_view>

#include "engine/extract/utf8_names.h"
#include "engine/utf16_win32.h"

namespace karuneo::extract {
namespace {

struct CodePageName {
    std::string_view name;  // upper case, without "-" or "_"
    UINT code_page;
};

// The iconv names a user gives for the encodings archives come in.
constexpr std::array<CodePageName, 22> kCodePages = {{
    {"UTF8", CP_UTF8},   {"CP932", 932},   {"SHIFTJIS", 932}, {"SJIS", 932},      {"MS932", 932},
    {"WINDOWS31J", 932}, {"EUCJP", 20932}, {"CP437", 437},    {"IBM437", 437},    {"CP850", 850},
    {"CP866", 866},      {"CP936", 936},   {"GBK", 936},      {"GB18030", 54936}, {"CP949", 949},
    {"EUCKR", 51949},    {"CP950", 950},   {"BIG5", 950},     {"CP1252", 1252},   {"LATIN1", 28591},
    {"ISO88591", 28591}, {"KOI8R", 20866},
}};

std::optional<UINT> CodePageOf(std::string_view iconv_name) {
    std::string key;
    for (const char c : iconv_name) {
        if (c != '-' && c != '_') {
            key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    for (const auto& known : kCodePages) {
        if (known.name == key) {
            return known.code_page;
        }
    }
    // "CP1251", "WINDOWS-1251": any other code page by its number.
    for (const std::string_view prefix : {"CP", "WINDOWS"}) {
        if (key.starts_with(prefix) && key.size() > prefix.size() &&
            key.find_first_not_of("0123456789", prefix.size()) == std::string::npos &&
            key.size() - prefix.size() <= 5) {
            return static_cast<UINT>(std::stoul(key.substr(prefix.size())));
        }
    }
    return std::nullopt;
}

}  // namespace

Utf8Names::Utf8Names() {
    // Only this thread's locale changes: a window's thread keeps its own.
    const int before = ::_configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    if (before == -1) {
        return;
    }
    const char* was = ::setlocale(LC_CTYPE, nullptr);
    before_ = new std::string(was != nullptr ? was : "C");
    own_ = reinterpret_cast<void*>(static_cast<intptr_t>(before));
    (void)::setlocale(LC_CTYPE, "C");
}

Utf8Names::~Utf8Names() {
    auto* was = static_cast<std::string*>(before_);
    if (was == nullptr) {
        return;
    }
    (void)::setlocale(LC_CTYPE, was->c_str());
    delete was;
    const auto mode = static_cast<int>(reinterpret_cast<intptr_t>(own_));
    if (mode != _ENABLE_PER_THREAD_LOCALE) {
        (void)::_configthreadlocale(_DISABLE_PER_THREAD_LOCALE);
    }
}

std::optional<std::string> ToUtf8(std::string_view bytes, const char* from) {
    const auto code_page = CodePageOf(from);
    if (!code_page) {
        return std::nullopt;
    }
    if (bytes.empty()) {
        return std::string();
    }
    if (*code_page == CP_UTF8) {
        return IsUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    }
    const int length = static_cast<int>(bytes.size());
    const int needed =
        ::MultiByteToWideChar(*code_page, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (::MultiByteToWideChar(*code_page, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(),
                              needed) != needed) {
        return std::nullopt;
    }
    return win32::Utf8FromUtf16(wide);
}

}  // namespace karuneo::extract
