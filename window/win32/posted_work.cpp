#include "window/win32/posted_work.h"

#include <functional>
#include <memory>
#include <utility>

namespace karuneo::win32 {
namespace {

using Call = std::function<void()>;

std::unique_ptr<Call> TakePosted(LPARAM lparam) {
    return std::unique_ptr<Call>(reinterpret_cast<Call*>(lparam));
}

}  // namespace

PostToWindow PostingTo(HWND window) {
    return [window](Call call) {
        auto posted = std::make_unique<Call>(std::move(call));
        if (::PostMessageW(window, kCallPosted, 0, reinterpret_cast<LPARAM>(posted.get()))) {
            // The window thread owns it now.
            static_cast<void>(posted.release());
        }
    };
}

void RunPosted(LPARAM lparam) {
    const std::unique_ptr<Call> call = TakePosted(lparam);
    (*call)();
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
        TakePosted(message.lParam).reset();
    }
}

}  // namespace karuneo::win32
