#pragma once

#include <string_view>

namespace karuneo {

// The organization under which QSettings keeps the window's settings.
extern const std::string_view kSettingsOrganization;

}  // namespace karuneo
