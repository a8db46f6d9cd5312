#include <windows.h>

#include <string_view>

#include "engine/error_codes_win32.h"
#include "engine/system_code.h"
#include "engine/utf16_win32.h"

namespace karuneo {
namespace {

struct CodeRow {
    DWORD code;
    SystemCodeMeaning meaning;
};

// A code missing here is an access failure the system's message explains,
// a reparse point that cannot be opened among others.
constexpr CodeRow kErrorTable[] = {
    {ERROR_SUCCESS, {kNoError, Cause::kSystem}},
    {ERROR_FILE_NOT_FOUND, {kPathNotFound, Cause::kSystem}},
    {ERROR_PATH_NOT_FOUND, {kPathNotFound, Cause::kSystem}},
    {ERROR_DIRECTORY, {kPathNotFound, Cause::kSystem}},  // a file where a folder was expected
    {ERROR_ALREADY_EXISTS, {kFileAlreadyExists, Cause::kSystem}},
    {ERROR_FILE_EXISTS, {kFileAlreadyExists, Cause::kSystem}},
    {ERROR_DIR_NOT_EMPTY, {kFolderNotEmpty, Cause::kSystem}},
    {ERROR_ACCESS_DENIED, {kPermissionDenied, Cause::kNoPermission}},
    // The layer gives these only once it has waited for them to pass.
    {ERROR_SHARING_VIOLATION, {kPermissionDenied, Cause::kStillInUse}},
    {ERROR_LOCK_VIOLATION, {kPermissionDenied, Cause::kStillInUse}},
    {ERROR_WRITE_PROTECT, {kPermissionDenied, Cause::kSystem}},
    {ERROR_NOT_SAME_DEVICE, {kDifferentDrive, Cause::kSystem}},
    {ERROR_DISK_FULL, {kDiskFull, Cause::kSystem}},
    {ERROR_HANDLE_DISK_FULL, {kDiskFull, Cause::kSystem}},
    {ERROR_CRC, {kDeviceIoError, Cause::kSystem}},
    {ERROR_IO_DEVICE, {kDeviceIoError, Cause::kSystem}},
    {ERROR_INVALID_NAME, {kBadFileName, Cause::kNameNotAllowed}},
    {ERROR_BAD_PATHNAME, {kBadFileName, Cause::kNameNotAllowed}},
    {ERROR_FILENAME_EXCED_RANGE, {kBadFileName, Cause::kNameTooLong}},
    {ERROR_NOT_ENOUGH_MEMORY, {kOutOfMemory, Cause::kSystem}},
    {ERROR_OUTOFMEMORY, {kOutOfMemory, Cause::kSystem}},
    {win32::kStoppedOnLink, {kPathFileAccessError, Cause::kLink}},
};

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

SystemCodeMeaning MeaningOfSystemCode(int code) {
    for (const auto& row : kErrorTable) {
        if (row.code == static_cast<DWORD>(code)) {
            return row.meaning;
        }
    }
    return {};
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
