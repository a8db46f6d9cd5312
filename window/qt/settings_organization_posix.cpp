#include "window/qt/settings_organization.h"

namespace karuneo {

const std::string_view kSettingsOrganization = "karuneo";

}  // namespace karuneo
