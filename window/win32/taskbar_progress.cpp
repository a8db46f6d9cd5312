#include "window/win32/taskbar_progress.h"

// windows.h first: shobjidl.h relies on its types.
#include <shobjidl.h>

namespace karuneo::win32 {

TaskbarProgress::~TaskbarProgress() {
    Disconnect();
}

UINT TaskbarProgress::ListenForButton(HWND window) {
    const UINT message = ::RegisterWindowMessageW(L"TaskbarButtonCreated");
    if (message != 0) {
        ::ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
    }
    return message;
}

void TaskbarProgress::Connect(HWND window) {
    Disconnect();
    ITaskbarList3* list = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ITaskbarList3, reinterpret_cast<void**>(&list)))) {
        return;
    }
    if (FAILED(list->HrInit())) {
        list->Release();
        return;
    }
    list_ = list;
    window_ = window;
}

void TaskbarProgress::Show(long long moved, long long total, bool failed) {
    if (list_ == nullptr) {
        return;
    }
    if (total <= 0) {
        list_->SetProgressState(window_, failed ? TBPF_ERROR : TBPF_INDETERMINATE);
        return;
    }
    list_->SetProgressState(window_, failed ? TBPF_ERROR : TBPF_NORMAL);
    list_->SetProgressValue(window_, static_cast<ULONGLONG>(moved), static_cast<ULONGLONG>(total));
}

void TaskbarProgress::Clear() {
    if (list_ != nullptr) {
        list_->SetProgressState(window_, TBPF_NOPROGRESS);
    }
}

void TaskbarProgress::Disconnect() {
    if (list_ != nullptr) {
        list_->Release();
        list_ = nullptr;
    }
}

}  // namespace karuneo::win32
