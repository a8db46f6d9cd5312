#include "window/win32/copy_data_handoff.h"

#include <string_view>

#include "window/rules/handoff_message.h"

namespace karuneo::win32 {
namespace {

// Tells our message from any other WM_COPYDATA a program might send.
constexpr ULONG_PTR kFoldersTag = 0x6B61726Eu;  // "karn"

}  // namespace

bool SendFolders(HWND window, const std::vector<std::string>& paths, UINT timeout_ms) {
    std::string message = EncodeHandoff(paths);
    COPYDATASTRUCT data{kFoldersTag, static_cast<DWORD>(message.size()), message.data()};
    DWORD_PTR taken = FALSE;
    return ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                 SMTO_ABORTIFHUNG | SMTO_BLOCK, timeout_ms, &taken) != 0 &&
           taken == TRUE;
}

std::optional<std::vector<std::string>> ReceivedFolders(const COPYDATASTRUCT& data) {
    if (data.dwData != kFoldersTag || (data.cbData > 0 && data.lpData == nullptr)) {
        return std::nullopt;
    }
    return DecodeHandoff(std::string_view(static_cast<const char*>(data.lpData), data.cbData));
}

}  // namespace karuneo::win32
