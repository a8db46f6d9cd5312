#pragma once

#include <string>
#include <string_view>

namespace karuneo {

// The per-user store of the window settings: text values by section and key,
// the application being fixed by the store. Reading a missing key yields "".
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    virtual std::string Read(std::string_view section, std::string_view key) = 0;
    virtual void Write(std::string_view section, std::string_view key, std::string_view value) = 0;
};

}  // namespace karuneo
