#pragma once

#include <string>

namespace karuneo::win32 {

// The outcome of --register or --unregister: the one line that says what
// was done (UTF-8) and the exit status, 0 when everything asked was done.
struct RegistrationOutcome {
    int status;
    std::string line;
};

// Offers カルネオ on folders in Explorer for the current user: the folder
// verb カルネオで展開 and the Send To shortcut, both starting `exe_path`.
RegistrationOutcome Register(const std::string& exe_path);

// Takes away exactly what Register added, and nothing another program made.
RegistrationOutcome Unregister();

}  // namespace karuneo::win32
