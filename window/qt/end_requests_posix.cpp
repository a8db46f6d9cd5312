#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>

#include "window/qt/end_requests.h"
#include "window/qt/form1.h"

namespace karuneo {
namespace {

// A signal handler may only write to a pipe; the event loop reads it.
int signal_pipe[2] = {-1, -1};
Form1* closing_form = nullptr;

void OnEndSignal(int) {
    const char mark = 1;
    (void)!::write(signal_pipe[1], &mark, 1);
}

void StopWorkOnExit() {
    if (closing_form != nullptr) {
        closing_form->StopWorkForExit();
    }
}

}  // namespace

void CloseOnEndRequests(Form1& form) {
    closing_form = &form;
    QObject::connect(&form, &QObject::destroyed, [] { closing_form = nullptr; });
    std::atexit(StopWorkOnExit);
    if (::pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, &form);
    QObject::connect(notifier, &QSocketNotifier::activated, &form, [&form] {
        char marks[16];
        while (::read(signal_pipe[0], marks, sizeof marks) > 0) {
        }
        form.CloseSoon();
    });
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace karuneo
