#include "window/win32/posted_work.h"

namespace karuneo::win32 {

WorkQueue::Handoff PostingTo(HWND window) {
    return {[window](FinishedRow row) {
                auto posted = std::make_unique<FinishedRow>(std::move(row));
                if (::PostMessageW(window, kRowPosted, 0, reinterpret_cast<LPARAM>(posted.get()))) {
                    // The window thread owns it now.
                    static_cast<void>(posted.release());
                }
            },
            [window] { ::PostMessageW(window, kQueueDrained, 0, 0); }};
}

std::unique_ptr<FinishedRow> TakePostedRow(LPARAM lparam) {
    return std::unique_ptr<FinishedRow>(reinterpret_cast<FinishedRow*>(lparam));
}

void DiscardPosted(HWND window) {
    MSG message{};
    while (::PeekMessageW(&message, window, kFirstPostedMessage, kLastPostedMessage, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // PeekMessage hands out WM_QUIT whatever the filter says; the
            // message loop must still see it.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (message.message == kRowPosted) {
            TakePostedRow(message.lParam).reset();
        }
    }
}

}  // namespace karuneo::win32
