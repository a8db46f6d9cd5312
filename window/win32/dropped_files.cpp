#include "window/win32/dropped_files.h"

#include <ole2.h>

namespace karuneo::win32 {

std::vector<std::wstring> PathsFromHdrop(HDROP files) {
    std::vector<std::wstring> paths;
    const UINT count = ::DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(files, i, nullptr, 0);
        std::wstring path(length, L'\0');
        if (length > 0 && ::DragQueryFileW(files, i, path.data(), length + 1) == length) {
            paths.push_back(std::move(path));
        }
    }
    return paths;
}

DWORD HarmlessEffect(DWORD offered) {
    if ((offered & DROPEFFECT_COPY) != 0) {
        return DROPEFFECT_COPY;
    }
    return offered & DROPEFFECT_LINK;
}

}  // namespace karuneo::win32
