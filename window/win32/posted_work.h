#pragma once

#include <windows.h>

#include "window/worker/work_session.h"

namespace karuneo::win32 {

// How the worker's news reaches the window thread: posted messages, never
// sent ones, so that the worker never waits for the window and the window
// never waits for the worker.
inline constexpr UINT kCallPosted = WM_APP + 1;  // lParam: a posted call to run
inline constexpr UINT kFirstPostedMessage = kCallPosted;
inline constexpr UINT kLastPostedMessage = kCallPosted;

// Posts each call to `window`. A call the window cannot be sent any more
// is dropped at once.
PostToWindow PostingTo(HWND window);

// Runs, and frees, the call a kCallPosted message carries.
void RunPosted(LPARAM lparam);

// Frees every call still waiting in the queue of `window`, which is going.
void DiscardPosted(HWND window);

}  // namespace karuneo::win32
