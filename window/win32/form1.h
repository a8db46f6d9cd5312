#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/native_file_system.h"
#include "results/win32/results_list_view.h"
#include "window/rules/settings_store.h"
#include "window/rules/sizing_pass.h"
#include "window/win32/drop_area.h"
#include "window/win32/fonts.h"
#include "window/win32/taskbar_progress.h"
#include "window/win32/win32_results_layout.h"
#include "window/win32/win32_window_geometry.h"
#include "window/worker/work_queue.h"
#include "window/worker/work_session.h"

namespace karuneo::win32 {
// Shows `menu` at `at` (screen pixels) and returns the chosen command, 0 for
// none.
using MenuChooser = std::function<UINT(HMENU menu, POINT at)>;
// Shows a row's 詳細 in a box owned by `owner` and returns once it is closed.
using DetailsShower = std::function<void(HWND owner, const std::wstring& text)>;

// The controls' identifiers, so that they can be found by GetDlgItem.
enum ControlId : int { kFrame1 = 1, kFrame2 = 2, kLabel1 = 3, kListView1 = 4 };
// The context menu's commands.
inline constexpr UINT kMnu削除 = 100;
inline constexpr UINT kMnu元に戻す = 101;
inline constexpr UINT kMnu詳細 = 102;
inline constexpr UINT kMnuコピー = 103;
inline constexpr UINT kMnu履歴 = 104;
inline constexpr UINT kMnu展開 = 105;

// The only window: drop folders on Frame2, read the outcomes in ListView1.
// It remembers its place in `settings`, and un-nests every dropped folder
// on a worker thread, with a file system made afresh for each folder; its
// own thread only paints, takes input and shows how far the work has come.
// Every run is journaled in the user's journal folder, so that 元に戻す can
// take it back and a run cut off is finished at the next start.
class Form1 final : private WorkView {
  public:
    explicit Form1(SettingsStore& settings,
                   FileSystemFactory make_file_system = MakeNativeFileSystem);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;
    ~Form1() override;

    // Creates the window, loads it and shows it with `show_command`; false
    // when the window could not be created.
    bool Show(int show_command);
    HWND hWnd() const { return window_; }
    static Form1* FromHandle(HWND window);

    // Ends the program's message loop once the window is gone.
    void QuitOnClose() { quit_on_close_ = true; }
    void SetMenuChooser(MenuChooser choose) { choose_from_menu_ = std::move(choose); }
    void SetDetailsShower(DetailsShower show) { show_details_ = std::move(show); }
    const DropArea& Frame2() const { return Frame2_; }

    // Once the window is shown: the runs that were cut off come first, as
    // their folders are the ones a user waits on, then the paths given at
    // start, queued as a drop of them would be.
    void StartWork(const std::vector<std::wstring>& paths);
    // Queues the paths behind whatever waits and returns at once, so that
    // the drag source is never kept waiting.
    void Frame2_OLEDragDrop(const std::vector<std::wstring>& paths);
    // The same for paths in UTF-8, as a second start hands them over.
    void QueueFolders(std::vector<std::string> paths);
    // Esc or 中止: the folder in hand stops between two entries, is put
    // back as it was and gets its row; the folders waiting are dropped.
    // Again: the put-back stops too.
    void cmd中止_Click();
    // From the first folder queued until the worker's rows are all shown.
    bool Working() const { return session_ != nullptr && session_->Busy(); }
    void Form_Move();

  private:
    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
    bool CreateControls();
    void PlaceControls();
    void ApplyFonts();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void ShowContextMenu(LPARAM at);
    void mnu削除_Click();
    void mnu履歴_Click();
    void mnu元に戻す_Click(const std::optional<std::string>& folder);
    void mnu詳細_Click(const std::optional<ShownRow>& row);
    void mnuコピー_Click();
    void mnu展開_Click();
    void RepaintFrames();
    void OnDpiChanged(const RECT& suggested);
    void Form_QueryUnload();
    void BringToFront();

    // The work, in form1_work.cpp: what the session asks of the window.
    void ShowBusy(bool busy) override;
    void ShowProgress(const WorkProgress& progress) override;
    void AddRows(const std::vector<FinishedRow>& rows) override;
    void CloseNow() override;
    void RefreshPointer() const;
    bool SetWorkingPointer(LPARAM hit) const;
    bool TakeFolders(const COPYDATASTRUCT& data);
    std::optional<std::string> RowToUndo() const;
    void OnListKey(const NMHDR& header);
    void AssertOnWindowThread() const;

    SettingsStore& settings_;
    FileSystemFactory make_file_system_;
    MenuChooser choose_from_menu_;
    DetailsShower show_details_;
    std::string journal_folder_;

    HWND window_ = nullptr;
    HWND Frame1 = nullptr;
    DropArea Frame2_;
    HWND Label1 = nullptr;
    ResultsListView ListView1;
    HMENU mnu編集 = nullptr;

    Font message_font_;
    Font title_font_;
    Font arrow_font_;
    std::unique_ptr<Win32WindowGeometry> geometry_;
    std::unique_ptr<Win32ResultsLayout> layout_;
    SizingPass sizing_pass_;
    bool loaded_ = false;
    bool hooked_ = false;
    bool quit_on_close_ = false;

    DWORD thread_ = 0;  // the window's; nothing else may touch it
    std::unique_ptr<WorkSession> session_;
    TaskbarProgress taskbar_;
    UINT taskbar_button_created_ = 0;
    bool batch_failed_ = false;  // a row of this batch reads エラー
};

}  // namespace karuneo::win32
