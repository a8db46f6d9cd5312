// The main of the tests that create windows: OLE for drag and drop and the
// common controls, as the program itself starts them.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: these rely on its types.
#include <commctrl.h>
#include <ole2.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (FAILED(::OleInitialize(nullptr))) {
        return 1;
    }
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    const int result = RUN_ALL_TESTS();
    ::OleUninitialize();
    return result;
}
