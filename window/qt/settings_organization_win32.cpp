#include "window/qt/settings_organization.h"

namespace karuneo {

// Where earlier versions kept the settings
// (HKCU\Software\VB and VBA Program Settings\カルネオ), so they carry over.
const std::string_view kSettingsOrganization = "VB and VBA Program Settings";

}  // namespace karuneo
