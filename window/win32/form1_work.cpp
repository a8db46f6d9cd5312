// Form1's side of the work: it hands the user's actions to its work session
// and shows what the session tells it. The worker itself never touches the
// window.
#include "window/win32/form1.h"

// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

#include <cassert>

#include "engine/row_status.h"
#include "engine/utf16_win32.h"
#include "window/rules/progress_text.h"
#include "window/win32/copy_data_handoff.h"
#include "window/win32/posted_work.h"
#include "window/worker/folder_work.h"

namespace karuneo::win32 {
namespace {

constexpr UINT_PTR kTickTimer = 1;

}  // namespace

void Form1::StartWork(const std::vector<std::wstring>& paths) {
    AssertOnWindowThread();
    Frame2_OLEDragDrop(paths);
}

void Form1::Frame2_OLEDragDrop(const std::vector<std::wstring>& paths) {
    std::vector<std::string> folders;
    folders.reserve(paths.size());
    for (const std::wstring& path : paths) {
        folders.push_back(Utf8FromUtf16(path));
    }
    QueueFolders(std::move(folders));
}

void Form1::QueueFolders(std::vector<std::string> paths) {
    AssertOnWindowThread();
    if (session_ != nullptr) {
        session_->Add(std::move(paths));
    }
}

void Form1::cmd中止_Click() {
    AssertOnWindowThread();
    if (session_ != nullptr) {
        session_->Stop();
    }
}

void Form1::ShowBusy(bool busy) {
    if (busy) {
        batch_failed_ = false;
        ::SetTimer(window_, kTickTimer, WorkSession::kTickMs, nullptr);
    } else {
        ::KillTimer(window_, kTickTimer);
        Frame2_.Progress().Hide();
        taskbar_.Clear();
    }
    RefreshPointer();
}

void Form1::ShowProgress(const WorkProgress& progress) {
    const ProgressLines lines = DescribeProgress(progress);
    Frame2_.Progress().Show(lines);
    taskbar_.Show(progress.done, progress.total, batch_failed_);
}

void Form1::AddRows(const std::vector<FinishedRow>& rows) {
    for (const FinishedRow& row : rows) {
        ListView1.AddFinishedRow(row);
        batch_failed_ = batch_failed_ || row.status == RowStatus::kError;
    }
    // Once for all rows that came: the list is not scrolled for each.
    ListView1.ScrollToNewest();
}

void Form1::CloseNow() {
    Form_Unload();
    ::DestroyWindow(window_);
}

void Form1::RefreshPointer() const {
    // The pointer changes on the next mouse move anyway; asking the window
    // under it now shows the change while the mouse rests.
    POINT at{};
    ::GetCursorPos(&at);
    HWND under = ::WindowFromPoint(at);
    if (under == nullptr || ::GetAncestor(under, GA_ROOT) != window_) {
        return;
    }
    const LRESULT hit = ::SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    ::SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                   MAKELPARAM(hit, WM_MOUSEMOVE));
}

bool Form1::SetWorkingPointer(LPARAM hit) const {
    // Only inside: the borders keep their sizing pointers.
    if (!Working() || LOWORD(hit) != HTCLIENT) {
        return false;
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
    return true;
}

bool Form1::TakeFolders(const COPYDATASTRUCT& data) {
    auto folders = ReceivedFolders(data);
    if (!folders || session_ == nullptr || session_->Closing()) {
        // Closing, the window refuses, and the second start opens its own.
        return false;
    }
    BringToFront();
    return session_->Add(*std::move(folders));
}

void Form1::OnListKey(const NMHDR& header) {
    if (header.hwndFrom != ListView1.Handle()) {
        return;
    }
    if (header.code == NM_RETURN) {
        mnu詳細_Click(ListView1.FocusedShownRow());
        return;
    }
    if (header.code != LVN_KEYDOWN) {
        return;
    }
    const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    if (key == VK_ESCAPE) {
        cmd中止_Click();
    } else if (key == 'Z' && control) {
        mnu元に戻す_Click(RowToUndo());
    } else if (key == 'C' && control) {
        mnuコピー_Click();
    }
}

// The selected row's run, as the menu says; the newest row's when none is
// selected, as an editor undoes the last change.
std::optional<std::string> Form1::RowToUndo() const {
    auto folder = ListView1.FocusedDroppedPath();
    return folder ? folder : ListView1.NewestDroppedPath();
}

void Form1::AssertOnWindowThread() const {
    assert(thread_ == ::GetCurrentThreadId() && "the window is its own thread's alone");
}

}  // namespace karuneo::win32
