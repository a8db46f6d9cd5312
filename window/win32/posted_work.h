#pragma once

#include <windows.h>

#include <memory>

#include "window/worker/work_queue.h"

namespace karuneo::win32 {

// How the worker's news reaches the window thread: posted messages, never
// sent ones, so that the worker never waits for the window and the window
// never waits for the worker.
inline constexpr UINT kRowPosted = WM_APP + 1;     // lParam: a FinishedRow* to take
inline constexpr UINT kQueueDrained = WM_APP + 2;  // nothing in hand or waiting
inline constexpr UINT kFirstPostedMessage = kRowPosted;
inline constexpr UINT kLastPostedMessage = kQueueDrained;

// A handoff that posts each row and the news of a drained queue to
// `window`. A row the window cannot be sent any more is freed at once.
WorkQueue::Handoff PostingTo(HWND window);

// Takes ownership of the row a kRowPosted message carries.
std::unique_ptr<FinishedRow> TakePostedRow(LPARAM lparam);

// Frees every row still waiting in the queue of `window`, which is going.
void DiscardPosted(HWND window);

}  // namespace karuneo::win32
