#include <signal.h>

#include <atomic>

#include "app/cli/interruption.h"

namespace karuneo::cli {
namespace {

// Lock-free, so that the handler may set it.
std::atomic<int> caught_signal{0};
std::atomic<int> signals_caught{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void CatchSignal(int signal_number) {
    int none = 0;
    caught_signal.compare_exchange_strong(none, signal_number);
    signals_caught.fetch_add(1);
}

class Signals final : public Interruption {
  public:
    Signals() {
        struct sigaction action {};
        action.sa_handler = &CatchSignal;
        sigemptyset(&action.sa_mask);
        // Interrupted writes of the report go on as if nothing happened.
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    }
    int ExitStatus() const override {
        const int signal_number = caught_signal.load();
        return signal_number == 0 ? 0 : 128 + signal_number;
    }
    int StopsAsked() const override { return signals_caught.load(); }
};

}  // namespace

Interruption& SignalInterruption() {
    static Signals signals;
    return signals;
}

void InterruptibleWorkDone() {}

}  // namespace karuneo::cli
