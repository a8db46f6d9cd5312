// Starts a program on the X display several times and measures, each time,
// the wall time from exec to its first window being mapped, and its resident
// memory shortly after. Prints the best time and the median memory.
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double milliseconds = 0;
    long resident_kib = 0;
};

long ResidentKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return 0;
}

bool WaitForMap(Display* display, Clock::time_point deadline) {
    while (Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

bool Measure(Display* display, char** command, Run& run) {
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(command[0], command);
        _exit(127);
    }
    const bool mapped = WaitForMap(display, start + std::chrono::seconds(20));
    run.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    // Once it has drawn itself, as a user would first see it.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    run.resident_kib = ResidentKib(child);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return mapped && run.resident_kib > 0;
}

// A server just started may not take connections yet.
Display* OpenDisplay() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) {
            return display;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNS PROGRAM [ARG...]\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    Display* display = OpenDisplay();
    if (display == nullptr || runs < 1) {
        std::fprintf(stderr, "%s: no display or no runs\n", argv[0]);
        return 2;
    }
    std::vector<Run> measured(static_cast<std::size_t>(runs));
    for (Run& run : measured) {
        if (!Measure(display, argv + 2, run)) {
            std::fprintf(stderr, "%s: %s never mapped a window\n", argv[0], argv[2]);
            return 1;
        }
    }
    const auto by_time = [](const Run& a, const Run& b) { return a.milliseconds < b.milliseconds; };
    const double best = std::min_element(measured.begin(), measured.end(), by_time)->milliseconds;
    std::vector<long> memory;
    for (const Run& run : measured) {
        memory.push_back(run.resident_kib);
    }
    std::sort(memory.begin(), memory.end());
    std::printf("%.1f %ld\n", best, memory[memory.size() / 2]);
    XCloseDisplay(display);
    return 0;
}
