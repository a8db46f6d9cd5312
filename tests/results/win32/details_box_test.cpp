// 詳細 on Windows: a box that fits its monitor, whatever the text.
#include "results/win32/details_box.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace karuneo::win32 {
namespace {

// What the box looked like while open: it is modal, so a timer of the
// thread, which its message loop runs, looks and then closes it.
struct Seen {
    bool found = false;
    RECT box{};
    RECT work{};
    RECT ok{};
    SCROLLINFO scroll{};
    int ticks = 0;
};
Seen seen;

void CALLBACK LookAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = ::FindWindowW(L"#32770", L"詳細");
    if (box == nullptr && ++seen.ticks < 100) {
        return;
    }
    ::KillTimer(nullptr, timer);
    if (box == nullptr) {
        return;
    }
    seen.found = true;
    ::GetWindowRect(box, &seen.box);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(box, MONITOR_DEFAULTTONEAREST), &monitor);
    seen.work = monitor.rcWork;
    ::GetWindowRect(::GetDlgItem(box, IDOK), &seen.ok);
    seen.scroll.cbSize = sizeof seen.scroll;
    seen.scroll.fMask = SIF_ALL;
    ::GetScrollInfo(::FindWindowExW(box, nullptr, L"Edit", nullptr), SB_VERT, &seen.scroll);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

Seen Show(const std::wstring& text) {
    seen = {};
    const HWND owner =
        ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 300,
                          nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetTimer(nullptr, 0, 50, LookAndClose);
    ShowDetails(owner, L"詳細", text);
    ::DestroyWindow(owner);
    return seen;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// A reason naming 3 000 entries made a message box 13 110 pixels high; 400
// lines are past any screen too, and Wine's edit control takes seconds to
// lay out 3 000.
TEST(DetailsBoxTest, ALongTextScrollsInsideABoxOnTheMonitorWithItsOk) {
    std::wstring text = L"理由: ";
    for (int entry = 0; entry < 400; ++entry) {
        text += L"「entry" + std::to_wstring(entry) + L"」、\n";
    }
    const Seen shown = Show(text);
    ASSERT_TRUE(shown.found);
    EXPECT_TRUE(Inside(shown.box, shown.work))
        << shown.box.bottom - shown.box.top << " px high, " << shown.work.bottom << " at most";
    EXPECT_TRUE(Inside(shown.ok, shown.box));
    EXPECT_GT(shown.scroll.nMax - shown.scroll.nMin + 1, static_cast<int>(shown.scroll.nPage));
}

TEST(DetailsBoxTest, AShortTextShowsWholeInASmallBox) {
    const Seen shown = Show(L"フォルダ: C:\\me\\D\n処理結果: 完了");
    ASSERT_TRUE(shown.found);
    EXPECT_TRUE(Inside(shown.box, shown.work));
    EXPECT_LT(shown.box.bottom - shown.box.top, (shown.work.bottom - shown.work.top) / 2);
    EXPECT_TRUE(Inside(shown.ok, shown.box));
}

}  // namespace
}  // namespace karuneo::win32
