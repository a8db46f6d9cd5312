#include "tests/support/win32/sibling_program.h"

#include <windows.h>

namespace karuneo::testing {

std::wstring SiblingProgram(const std::wstring& name) {
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

}  // namespace karuneo::testing
