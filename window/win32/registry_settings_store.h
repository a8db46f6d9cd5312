#pragma once

#include <string>
#include <string_view>

#include "window/rules/settings_store.h"

namespace karuneo::win32 {

// Where earlier versions kept the window settings, so that they carry over:
// one key per section under it, string values by key.
inline constexpr std::wstring_view kSettingsKey =
    L"Software\\VB and VBA Program Settings\\カルネオ";

// The settings as string values under HKEY_CURRENT_USER\`key`\section.
class RegistrySettingsStore final : public SettingsStore {
  public:
    explicit RegistrySettingsStore(std::wstring key = std::wstring(kSettingsKey));

    std::string Read(std::string_view section, std::string_view key) override;
    void Write(std::string_view section, std::string_view key, std::string_view value) override;

  private:
    std::wstring SectionKey(std::string_view section) const;

    std::wstring key_;
};

}  // namespace karuneo::win32
