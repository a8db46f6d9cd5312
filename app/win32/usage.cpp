#include "app/win32/usage.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "app/win32/console_line.h"
#include "engine/utf16_win32.h"

namespace karuneo::win32 {
namespace {

constexpr std::string_view kUsage =
    "Usage: karuneo.exe [FOLDER...]\n"
    "       karuneo.exe --version | --register | --unregister | --help | /?\n"
    "Opens the window カルネオソフト. Folders dropped on it, or named here, are\n"
    "flattened one after the other: a FOLDER that holds nothing but a chain of\n"
    "single subfolders gets the contents of the deepest folder moved up into it,\n"
    "and the emptied chain is removed; each gets one row. When the window runs\n"
    "already, the FOLDERs are handed to it instead. Esc or 中止 stops the folder\n"
    "in hand and puts it back as it was; closing the window stops it and leaves\n"
    "it as it stands (元に戻す puts it back). karuneo-cli.exe does the same in a\n"
    "console.\n"
    "\n"
    "  --version      print the version and exit.\n"
    "  --register     add カルネオで展開 to the folders' menu and カルネオ to Send To.\n"
    "  --unregister   take them away again.\n"
    "  -h, --help, /? show this and exit.";

}  // namespace

void ShowUsage() {
    if (PrintLine(kUsage, Stream::kOutput)) {
        return;
    }
    const std::wstring text = Utf16FromUtf8(kUsage).value_or(L"");
    ::MessageBoxW(nullptr, text.c_str(), L"カルネオ", MB_OK | MB_ICONINFORMATION);
}

}  // namespace karuneo::win32
