#pragma once

#include <windows.h>

#include <string>

namespace karuneo::testing {

struct CapturedRun {
    bool started = false;
    DWORD status = 99;
    std::string output;  // standard output and error together
};

// Runs `command_line` with both standard streams on one pipe, to its end.
CapturedRun RunCaptured(std::wstring command_line);

}  // namespace karuneo::testing
