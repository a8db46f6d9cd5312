#include <windows.h>
// windows.h first: these rely on its types.
#include <commctrl.h>
#include <ole2.h>

#include "app/win32/start_up_paths.h"
#include "window/win32/form1.h"
#include "window/win32/registry_settings_store.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show_command) {
    // The drop target needs OLE on this thread; the list, common controls.
    if (FAILED(::OleInitialize(nullptr))) {
        return 1;
    }
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);

    karuneo::win32::RegistrySettingsStore settings;
    karuneo::win32::Form1 form(settings);
    form.QuitOnClose();
    if (!form.Show(show_command)) {
        ::OleUninitialize();
        return 1;
    }
    // Paths on the command line are handled as a drop of them once the
    // window is up.
    const auto paths = karuneo::win32::StartUpPaths(::GetCommandLineW());
    if (!paths.empty()) {
        form.Frame2_OLEDragDrop(paths);
    }
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    ::OleUninitialize();
    return static_cast<int>(message.wParam);
}
