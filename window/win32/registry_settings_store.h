#pragma once

#include <string>
#include <string_view>

#include "window/rules/settings_store.h"

namespace karuneo::win32 {

// The settings as string values under HKEY_CURRENT_USER\`key`\section.
class RegistrySettingsStore final : public SettingsStore {
  public:
    // Under the key the Visual Basic versions of this program wrote
    // (RegistrySettingsKey), so that their settings carry over.
    RegistrySettingsStore();
    explicit RegistrySettingsStore(std::wstring key);

    std::string Read(std::string_view section, std::string_view key) override;
    void Write(std::string_view section, std::string_view key, std::string_view value) override;

  private:
    std::wstring SectionKey(std::string_view section) const;

    std::wstring key_;
};

}  // namespace karuneo::win32
