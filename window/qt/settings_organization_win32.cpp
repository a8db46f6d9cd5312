#include "window/qt/settings_organization.h"
#include "window/rules/window_settings.h"

namespace karuneo {

// Where earlier versions kept the settings, so they carry over.
const std::string_view kSettingsOrganization = kRegistrySettingsFolder;

}  // namespace karuneo
