#include "window/qt/settings_organization.h"
#include "window/rules/window_settings.h"

namespace karuneo {

// The registry folder of the Visual Basic versions' settings, so that they
// carry over.
const std::string_view kSettingsOrganization = kRegistrySettingsFolder;

}  // namespace karuneo
