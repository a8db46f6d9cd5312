// The window's worker against the command-line tool on the same trees: one
// chain whose deepest folder holds many entries, and many small chains at
// once. For the window it also records the longest time its thread went
// without taking events, from a 5 ms timer.
// Usage: karuneo-window-bench --cli PATH [--entries N] [--folders M] [--reps K] [--dir SCRATCH]
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_tree.h"
#include "window/qt/form1.h"
#include "window/qt/qt_settings_store.h"

namespace karuneo::bench {
namespace {
namespace fs = std::filesystem;

struct Options {
    std::string cli;
    long entries = 200'000;
    int folders = 2'000;
    int reps = 3;
    fs::path scratch_parent = fs::temp_directory_path();
};

struct Run {
    double wall = 0;     // seconds
    double cpu = 0;      // user and system seconds, every thread
    double own_cpu = 0;  // of which the window thread's
    double longest = 0;  // milliseconds the window thread took no events
};

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const char* value = argv[i + 1];
        if (arg == "--cli") {
            options.cli = value;
        } else if (arg == "--entries") {
            options.entries = std::atol(value);
        } else if (arg == "--folders") {
            options.folders = std::atoi(value);
        } else if (arg == "--reps") {
            options.reps = std::max(1, std::atoi(value));
        } else if (arg == "--dir") {
            options.scratch_parent = value;
        }
    }
    if (options.cli.empty() || argc % 2 == 0) {
        std::fprintf(stderr,
                     "usage: karuneo-window-bench --cli PATH [--entries N] "
                     "[--folders M] [--reps K] [--dir SCRATCH]\n");
        std::exit(2);
    }
    return options;
}

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

double ThreadCpuSeconds() {
    timespec time{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

double CpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

// The folders of one contender's run, built afresh in `scratch`.
std::vector<std::string> BuildTrees(const fs::path& scratch, long entries, int folders) {
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    if (folders == 0) {
        return {MakeChain(scratch, entries).dropped.string()};
    }
    std::vector<std::string> paths;
    for (int i = 0; i < folders; ++i) {
        paths.push_back(
            MakeChain(scratch / std::string("D").append(std::to_string(i)), 1).dropped.string());
    }
    return paths;
}

Run TimeWindow(Form1& form, std::vector<std::string> paths) {
    QEventLoop loop;
    QTimer beat;
    beat.setInterval(5);
    QElapsedTimer clock;
    Run run;
    qint64 last = 0;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        run.longest = std::max(run.longest, static_cast<double>(now - last) / 1e6);
        last = now;
        if (!form.Working()) {
            loop.quit();
        }
    });
    const double cpu_before = CpuSeconds(RUSAGE_SELF);
    const double own_before = ThreadCpuSeconds();
    clock.start();
    form.ProcessPathsWhenShown(std::move(paths));
    beat.start();
    loop.exec();
    run.wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    run.cpu = CpuSeconds(RUSAGE_SELF) - cpu_before;
    run.own_cpu = ThreadCpuSeconds() - own_before;
    return run;
}

Run TimeCli(const std::string& cli, const std::vector<std::string>& paths) {
    std::vector<char*> argv{const_cast<char*>(cli.c_str())};
    for (const auto& path : paths) {
        argv.push_back(const_cast<char*>(path.c_str()));
    }
    argv.push_back(nullptr);
    std::fflush(stdout);  // or the child writes what is buffered once more
    QElapsedTimer clock;
    clock.start();
    const pid_t child = ::fork();
    if (child == 0) {
        if (std::freopen("/dev/null", "w", stdout) != nullptr) {
            ::execv(cli.c_str(), argv.data());
        }
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    Run run;
    run.wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    run.cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    return run;
}

Run Median(std::vector<Run> runs) {
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.wall < b.wall; });
    Run median = runs[runs.size() / 2];
    for (const Run& run : runs) {
        median.longest = std::max(median.longest, run.longest);
    }
    return median;
}

void Compare(const char* what, Form1& form, const Options& options, long entries, int folders) {
    const fs::path scratch = options.scratch_parent / "karuneo-window-bench";
    std::vector<Run> window;
    std::vector<Run> cli;
    for (int rep = 0; rep < options.reps; ++rep) {
        window.push_back(TimeWindow(form, BuildTrees(scratch, entries, folders)));
        cli.push_back(TimeCli(options.cli, BuildTrees(scratch, entries, folders)));
    }
    fs::remove_all(scratch);
    const Run w = Median(window);
    const Run c = Median(cli);
    std::printf(
        "%-28s window %7.3f s  cpu %7.3f s (its thread %.3f) | cli %7.3f s  cpu %7.3f s "
        "| wall %.2f  cpu %.2f | longest gap %.1f ms\n",
        what, w.wall, w.cpu, w.own_cpu, c.wall, c.cpu, w.wall / c.wall, w.cpu / c.cpu, w.longest);
    std::fflush(stdout);
}

bool WaitForExposure(QWidget& window) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10'000) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        if (window.windowHandle() != nullptr && window.windowHandle()->isExposed()) {
            return true;
        }
    }
    return false;
}

}  // namespace
}  // namespace karuneo::bench

int main(int argc, char** argv) {
    using namespace karuneo::bench;
    QApplication app(argc, argv);
    const Options options = Parse(argc, argv);
    const QTemporaryDir settings_folder;
    karuneo::QtSettingsStore settings(settings_folder.filePath("karuneo.ini"));
    karuneo::Form1 form(settings);
    form.show();
    if (!WaitForExposure(form)) {
        std::fprintf(stderr, "the window was never shown\n");
        return 1;
    }
    std::printf("platform %s, median of %d runs\n", qPrintable(QApplication::platformName()),
                options.reps);
    const std::string big = std::to_string(options.entries) + " entries, one folder";
    Compare(big.c_str(), form, options, options.entries, 0);
    const std::string many = std::to_string(options.folders) + " folders D/A/B/f";
    Compare(many.c_str(), form, options, 1, options.folders);
    return 0;
}
