// Form1's side of the work: it queues folders, shows how far the worker has
// come, takes the rows it posts and stops it. The worker itself never
// touches the window.
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

constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressEveryMs = 33;  // about 30 a second: smooth, and cheap to read

}  // namespace

void Form1::StartWork(const std::vector<std::wstring>& paths) {
    AssertOnWindowThread();
    if (queue_ == nullptr) {
        return;
    }
    for (CutOffRun& run : CutOffRuns(journal_folder_)) {
        queue_->AddJob(std::move(run.folder), std::move(run.finish));
        if (!working_) {
            BeginWork();
        }
    }
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
    if (paths.empty() || closing_ || queue_ == nullptr) {
        return;
    }
    queue_->Add(std::move(paths));
    if (!working_) {
        BeginWork();
    }
}

void Form1::cmd中止_Click() {
    AssertOnWindowThread();
    if (queue_ == nullptr) {
        return;
    }
    queue_->Stop();
    // With nothing in hand the worker posts no word of a drained queue.
    EndWorkIfDone();
}

void Form1::UndoRunOf(const std::string& folder) {
    AssertOnWindowThread();
    if (closing_ || queue_ == nullptr) {
        return;
    }
    queue_->AddJob(folder, UndoLastRunWork(journal_folder_));
    if (!working_) {
        BeginWork();
    }
}

void Form1::StopForClosing() {
    // No time to put back: the folder in hand stays as it stands, and its
    // journal lets 元に戻す take it back at a later start.
    queue_->StopForClosing();
    EndWorkIfDone();
}

void Form1::BeginWork() {
    working_ = true;
    batch_failed_ = false;
    ::SetTimer(window_, kProgressTimer, kProgressEveryMs, nullptr);
    ShowProgress();
    RefreshPointer();
}

void Form1::EndWorkIfDone() {
    // A drained queue may be old news: a drop may have come since.
    if (!working_ || queue_->Busy()) {
        return;
    }
    working_ = false;
    ::KillTimer(window_, kProgressTimer);
    Frame2_.Progress().Hide();
    taskbar_.Clear();
    ListView1.ScrollToNewest();
    scroll_pending_ = false;
    RefreshPointer();
    if (closing_) {
        Form_Unload();
        ::DestroyWindow(window_);
    }
}

void Form1::ShowProgress() {
    if (scroll_pending_) {
        // Once a tick for all rows that came: the list is not scrolled for each.
        ListView1.ScrollToNewest();
        scroll_pending_ = false;
    }
    const WorkProgress progress = queue_->Progress();
    if (!progress.busy) {
        // Between the last folder and the news that the queue is empty: the
        // last lines stay until then.
        return;
    }
    Frame2_.Progress().Show(DescribeProgress(progress), progress.total > 0);
    taskbar_.Show(progress.moved, progress.total, batch_failed_);
}

void Form1::TakeRow(LPARAM posted) {
    AssertOnWindowThread();
    const std::unique_ptr<FinishedRow> row = TakePostedRow(posted);
    ListView1.AddFinishedRow(*row);
    if (row->status == RowStatus::kError) {
        batch_failed_ = true;
    }
    if (working_) {
        scroll_pending_ = true;
    } else {
        ListView1.ScrollToNewest();
    }
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
    if (!working_ || LOWORD(hit) != HTCLIENT) {
        return false;
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
    return true;
}

bool Form1::TakeFolders(const COPYDATASTRUCT& data) {
    auto folders = ReceivedFolders(data);
    if (!folders || closing_) {
        // Closing, the window refuses, and the second start opens its own.
        return false;
    }
    BringToFront();
    QueueFolders(*std::move(folders));
    return true;
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
        // As an editor undoes the last change: the run of the newest row.
        mnu元に戻す_Click(ListView1.NewestDroppedPath());
    } else if (key == 'C' && control) {
        mnuコピー_Click();
    }
}

void Form1::AssertOnWindowThread() const {
    assert(thread_ == ::GetCurrentThreadId() && "the window is its own thread's alone");
}

}  // namespace karuneo::win32
