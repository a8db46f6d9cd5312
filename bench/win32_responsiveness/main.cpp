// Starts karuneo.exe on one folder and, for as long as it works on it, asks
// its window every 50 ms whether it answers (WM_NULL, given up after 200 ms,
// as Windows asks before it calls a window hung). Prints the longest and the
// median answer time and how long the run took:
//
//   win32-responsiveness.exe KARUNEO_EXE FOLDER
//
// The run starts once the window has answered a first time (before that it
// is still being made and laid out, which is start-up, not work) and ends
// when the folder's row appears in the list.
#include <windows.h>
// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/win32_now_ms.h"

namespace {

constexpr UINT kHungAfterMs = 200;
constexpr DWORD kAskEveryMs = 50;
constexpr int kListId = 4;  // ListView1's control identifier

using karuneo::bench::NowMs;

HWND FindForm(DWORD thread) {
    HWND found = nullptr;
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM out) {
            wchar_t type[32] = {};
            ::GetClassNameW(window, type, 32);
            if (std::wstring(type) == L"KaruneoForm1") {
                *reinterpret_cast<HWND*>(out) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// How long the window took to answer, or nothing when it did not within the limit.
bool Ask(HWND window, double& answered_in_ms) {
    DWORD_PTR result = 0;
    const double before = NowMs();
    const LRESULT answered =
        ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kHungAfterMs, &result);
    answered_in_ms = NowMs() - before;
    return answered != 0;
}

int RowCount(HWND window) {
    DWORD_PTR rows = 0;
    ::SendMessageTimeoutW(::GetDlgItem(window, kListId), LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG,
                          kHungAfterMs, &rows);
    return static_cast<int>(rows);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: win32-responsiveness KARUNEO_EXE FOLDER\n");
        return 2;
    }
    std::wstring command_line = L"karuneo.exe \"" + std::wstring(argv[2]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double started = NowMs();
    if (!::CreateProcessW(argv[1], command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start karuneo.exe (%lu)\n", ::GetLastError());
        return 1;
    }
    HWND form = nullptr;
    while ((form = FindForm(process.dwThreadId)) == nullptr && NowMs() - started < 60'000) {
        ::Sleep(10);
    }
    DWORD_PTR ignored = 0;
    if (form == nullptr ||
        !::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 60'000, &ignored)) {
        std::fprintf(stderr, "karuneo.exe opened no window that answers\n");
        return 1;
    }
    const double window_up = NowMs();
    std::vector<double> answers;
    int unanswered = 0;
    while (RowCount(form) == 0 && ::IsWindow(form)) {
        double answered_in_ms = 0;
        if (!Ask(form, answered_in_ms)) {
            ++unanswered;
            std::printf("not answered %.0f ms into the run (error %lu, after %.1f ms)\n",
                        NowMs() - window_up, ::GetLastError(), answered_in_ms);
        }
        answers.push_back(answered_in_ms);
        ::Sleep(kAskEveryMs);
    }
    const double run_ms = NowMs() - window_up;
    ::PostMessageW(form, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(process.hProcess, 30'000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);

    std::sort(answers.begin(), answers.end());
    const double longest = answers.empty() ? 0 : answers.back();
    const double median = answers.empty() ? 0 : answers[answers.size() / 2];
    std::printf("start to first answer %8.1f ms\n", window_up - started);
    std::printf("run (to the row)      %8.2f s\n", run_ms / 1000.0);
    std::printf("asked                 %8zu times, every %lu ms\n", answers.size(), kAskEveryMs);
    std::printf("longest answer        %8.1f ms\n", longest);
    std::printf("median answer         %8.2f ms\n", median);
    std::printf("not answered within %u ms: %d\n", kHungAfterMs, unanswered);
    return unanswered == 0 ? 0 : 1;
}
