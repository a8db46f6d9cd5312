#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_tree.h"
#include "tests/support/win32/list_rows.h"
#include "window/win32/form1.h"
#include "window/win32/registry_settings_store.h"

namespace karuneo::win32 {

// One real Form1 per case, with a registry key of its own so that cases can
// run side by side in one Wine prefix.
class Form1Fixture : public ::testing::Test {
  protected:
    Form1Fixture();
    ~Form1Fixture() override;

    void Store(std::initializer_list<std::pair<const char*, const char*>> values);
    std::string Stored(const char* name) { return store.Read("Main", name); }

    // With `make_file_system`, the walks use what it makes; by default the
    // disk's own layer, once walks may go.
    void Open(FileSystemFactory make_file_system = {});
    // Lets the window handle what it posted to itself.
    static void Settle();
    // Handles messages until the worker's rows are all in the list (false
    // after 30 s): what a drop leaves is seen only then.
    bool WaitUntilIdle();
    // Handles messages until `done` holds (false after 30 s).
    static bool PumpUntil(const std::function<bool()>& done);
    // Walks wait at their start while held, so that the window stays busy.
    void HoldWalks() { ::ResetEvent(walks_may_go); }
    void ReleaseWalks() { ::SetEvent(walks_may_go); }

    HWND Child(int id) const { return ::GetDlgItem(form->hWnd(), id); }
    HWND List() const { return Child(kListView1); }
    std::vector<testing::WideRow> Rows() const { return testing::ListRows(List()); }
    RECT Outer() const;
    // Drops folders of two entries each, made under `names`, and waits for
    // their rows.
    void DropFolders(const std::vector<std::string>& names);
    // A key pressed on the list with Ctrl held, as the list's accelerators see it.
    void PressCtrl(WPARAM letter);
    // A path of the test tree as Explorer would hand it over.
    std::wstring Dropped(const std::string& relative) const;

    std::wstring key;
    RegistrySettingsStore store;
    testing::TempTree tree;
    HANDLE walks_may_go = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);
    std::unique_ptr<Form1> form;
    std::atomic<DWORD> walk_thread{0};  // the thread the last walk ran on
    std::vector<POINT> menu_points;
    // Whether the last menu let each of its commands be chosen.
    bool undo_offered = false;
    bool details_offered = false;
    bool copy_offered = false;
    bool clear_offered = false;
    std::vector<std::wstring> details_shown;  // each 詳細 box's text
    UINT menu_choice = 0;
};

}  // namespace karuneo::win32
