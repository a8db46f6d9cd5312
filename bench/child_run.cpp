#include "bench/child_run.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace karuneo::bench {

Measured RunInChild(const std::function<bool()>& work) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(work() ? 0 : 1);
    }
    Measured measured;
    if (child < 0) {
        return measured;
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child) {
        return measured;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    measured.seconds = elapsed.count();
    measured.peak_kib = usage.ru_maxrss;
    measured.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return measured;
}

}  // namespace karuneo::bench
