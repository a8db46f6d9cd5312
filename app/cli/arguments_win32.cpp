#include <windows.h>
// windows.h first: shellapi.h relies on its types.
#include <shellapi.h>

#include "app/cli/arguments.h"
#include "engine/utf16_win32.h"

namespace karuneo::cli {

std::vector<std::string> CommandLineArguments(int, char**) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        args.push_back(win32::Utf8FromUtf16(wide[i]));
    }
    ::LocalFree(wide);
    return args;
}

bool StandardOutputIsOpen() {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    return out != nullptr && out != INVALID_HANDLE_VALUE;
}

}  // namespace karuneo::cli
