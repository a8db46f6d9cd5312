#include "app/win32/folder_verb.h"

#include <windows.h>

#include "engine/system_code.h"
#include "engine/utf16_win32.h"
#include "window/rules/shell_registration.h"

namespace karuneo::win32 {
namespace {

using Result = RegistryChange::Result;

RegistryChange Failed(LSTATUS status) {
    return {Result::kFailed, SystemMessage(static_cast<int>(status), MessageLanguage::kEnglish)};
}

std::wstring Wide(const std::string& text) {
    return Utf16FromUtf8(text).value_or(L"");
}

LSTATUS WriteValue(const RegistryValue& value) {
    HKEY key = nullptr;
    LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(value.key).c_str(), 0, nullptr, 0,
                                       KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    const std::wstring data = Wide(value.data);
    status = ::RegSetValueExW(key, value.name.empty() ? nullptr : Wide(value.name).c_str(), 0,
                              REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return status;
}

// ERROR_FILE_NOT_FOUND when neither the key nor the value was there.
LSTATUS RemoveValue(const RegistryValue& value) {
    HKEY key = nullptr;
    LSTATUS status =
        ::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(value.key).c_str(), 0, KEY_SET_VALUE, &key);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    status = ::RegDeleteValueW(key, value.name.empty() ? nullptr : Wide(value.name).c_str());
    ::RegCloseKey(key);
    return status;
}

// Removes `path` only when it holds no value and no subkey.
LSTATUS RemoveKeyIfEmpty(const std::string& path, bool& kept) {
    HKEY key = nullptr;
    LSTATUS status =
        ::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    DWORD subkeys = 0;
    DWORD values = 0;
    status = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                nullptr, nullptr, nullptr, nullptr);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (subkeys != 0 || values != 0) {
        kept = true;
        return ERROR_SUCCESS;
    }
    return ::RegDeleteKeyW(HKEY_CURRENT_USER, Wide(path).c_str());
}

}  // namespace

RegistryChange WriteFolderVerb(const std::string& exe_path) {
    for (const RegistryValue& value : VerbValues(exe_path)) {
        if (const LSTATUS status = WriteValue(value); status != ERROR_SUCCESS) {
            return Failed(status);
        }
    }
    return {Result::kDone, {}};
}

RegistryChange RemoveFolderVerb() {
    bool removed = false;
    for (const RegistryValue& value : VerbValues("")) {
        const LSTATUS status = RemoveValue(value);
        if (status == ERROR_SUCCESS) {
            removed = true;
        } else if (status != ERROR_FILE_NOT_FOUND) {
            return Failed(status);
        }
    }
    bool kept = false;
    for (const std::string& key : VerbKeysDeepestFirst()) {
        const LSTATUS status = RemoveKeyIfEmpty(key, kept);
        if (status == ERROR_SUCCESS) {
            removed = true;
        } else if (status != ERROR_FILE_NOT_FOUND) {
            return Failed(status);
        }
    }
    if (kept) {
        return {Result::kKeptOthers, {}};
    }
    return {removed ? Result::kDone : Result::kNothingThere, {}};
}

}  // namespace karuneo::win32
