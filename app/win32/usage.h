#pragma once

namespace karuneo::win32 {

// Shows how karuneo.exe is started: on the console it was started from, or
// into its redirected output, and in a message box when it has neither, as
// when started from the Run box or a shortcut.
void ShowUsage();

}  // namespace karuneo::win32
