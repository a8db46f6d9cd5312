#include <windows.h>
// windows.h first: these rely on its types.
#include <commctrl.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "app/win32/console_line.h"
#include "app/win32/registration.h"
#include "app/win32/single_instance.h"
#include "app/win32/start_up_paths.h"
#include "app/win32/usage.h"
#include "engine/utf16_win32.h"
#include "window/rules/shell_registration.h"
#include "window/win32/form1.h"
#include "window/win32/registry_settings_store.h"

namespace {

std::vector<std::string> InUtf8(const std::vector<std::wstring>& paths) {
    std::vector<std::string> utf8;
    for (const auto& path : paths) {
        utf8.push_back(karuneo::win32::Utf8FromUtf16(path));
    }
    return utf8;
}

std::string OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return karuneo::win32::Utf8FromUtf16(path);
        }
        path.resize(path.size() * 2);
    }
}

// The requests answered without a window, as the installer and a command
// prompt make them.
int AnswerWithoutWindow(karuneo::StartUpRequest request) {
    using karuneo::StartUpRequest;
    using karuneo::win32::PrintLine;
    using karuneo::win32::Stream;
    if (request == StartUpRequest::kHelp) {
        karuneo::win32::ShowUsage();
        return 0;
    }
    if (request == StartUpRequest::kVersion) {
        PrintLine("karuneo " KARUNEO_VERSION, Stream::kOutput);
        return 0;
    }
    if (request == StartUpRequest::kMisused) {
        PrintLine(
            "karuneo: --help, --version, --register and --unregister take nothing after "
            "them",
            Stream::kError);
        return 2;
    }
    const auto outcome = request == StartUpRequest::kRegister ? karuneo::win32::Register(OwnPath())
                                                              : karuneo::win32::Unregister();
    PrintLine(outcome.line, outcome.status == 0 ? Stream::kOutput : Stream::kError);
    return outcome.status;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show_command) {
    const auto request =
        karuneo::ChooseStartUpRequest(karuneo::win32::StartUpArguments(::GetCommandLineW()));
    if (request != karuneo::StartUpRequest::kWindow) {
        return AnswerWithoutWindow(request);
    }
    const auto paths = karuneo::win32::StartUpPaths(::GetCommandLineW());
    karuneo::win32::SingleInstance instance;
    if (karuneo::win32::ClaimOrHandOver(instance, InUtf8(paths)) ==
        karuneo::win32::Start::kHandedOver) {
        return 0;
    }
    // The drop target needs OLE on this thread; the list, common controls.
    if (FAILED(::OleInitialize(nullptr))) {
        return 1;
    }
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);

    karuneo::win32::RegistrySettingsStore settings;
    karuneo::win32::Form1 form(settings);
    form.QuitOnClose();
    if (!form.Show(show_command)) {
        ::OleUninitialize();
        return 1;
    }
    // The window is up and painted: runs that were cut off and then paths on
    // the command line are queued, then later starts may hand theirs in
    // behind them.
    form.StartWork(paths);
    instance.Publish(form.hWnd());
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    ::OleUninitialize();
    return static_cast<int>(message.wParam);
}
