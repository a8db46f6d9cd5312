#include "window/win32/registry_settings_store.h"

#include <windows.h>

#include "engine/utf16_win32.h"
#include "window/rules/window_settings.h"
#include "window/win32/wide_text.h"

namespace karuneo::win32 {
RegistrySettingsStore::RegistrySettingsStore() : key_(Wide(RegistrySettingsKey())) {}

RegistrySettingsStore::RegistrySettingsStore(std::wstring key) : key_(std::move(key)) {}

std::string RegistrySettingsStore::Read(std::string_view section, std::string_view key) {
    const std::wstring subkey = SectionKey(section);
    const std::wstring name = Wide(key);
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                       nullptr, &bytes) != ERROR_SUCCESS) {
        return {};
    }
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                       value.data(), &bytes) != ERROR_SUCCESS) {
        return {};
    }
    value.resize(value.find(L'\0'));
    return Utf8FromUtf16(value);
}

void RegistrySettingsStore::Write(std::string_view section, std::string_view key,
                                  std::string_view value) {
    const std::wstring text = Wide(value);
    // A settings write that fails loses only a window position: nothing to
    // tell the user about.
    ::RegSetKeyValueW(HKEY_CURRENT_USER, SectionKey(section).c_str(), Wide(key).c_str(), REG_SZ,
                      text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::wstring RegistrySettingsStore::SectionKey(std::string_view section) const {
    return key_ + L"\\" + Wide(section);
}

}  // namespace karuneo::win32
