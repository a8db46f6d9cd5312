#include <windows.h>

#include <atomic>

#include "app/cli/interruption.h"

namespace karuneo::cli {
namespace {

// As a shell reports SIGINT and SIGTERM, so that scripts see one status
// on every system.
constexpr int kStoppedByKey = 128 + 2;
constexpr int kStoppedByClose = 128 + 15;
// The system ends the process about five seconds after a console closes.
constexpr DWORD kCloseGrace = 4500;

std::atomic<int> exit_status{0};
std::atomic<int> events_caught{0};
HANDLE work_done = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    const bool closing =
        event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
    int none = 0;
    exit_status.compare_exchange_strong(none, closing ? kStoppedByClose : kStoppedByKey);
    events_caught.fetch_add(1);
    // Returning from a close ends the process at once: wait for the walk to
    // reach a point between two entries.
    if (closing && work_done != nullptr) {
        ::WaitForSingleObject(work_done, kCloseGrace);
    }
    return TRUE;
}

class ConsoleEvents final : public Interruption {
  public:
    ConsoleEvents() {
        work_done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
    }
    int ExitStatus() const override { return exit_status.load(); }
    int StopsAsked() const override { return events_caught.load(); }
};

}  // namespace

Interruption& SignalInterruption() {
    static ConsoleEvents events;
    return events;
}

void InterruptibleWorkDone() {
    if (work_done != nullptr) {
        ::SetEvent(work_done);
    }
}

}  // namespace karuneo::cli
