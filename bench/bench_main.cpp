// Times the engine against the least any tool must do and against what users
// type instead, on chains D/A/B whose deepest folder holds N entries, and the
// dry run against the engine there and over many small chains at once.
// Usage: karuneo-bench [--huge | --only N] [--folders M] [--reps K] [--dir SCRATCH]
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_tree.h"
#include "bench/child_run.h"
#include "bench/contenders.h"

namespace karuneo::bench {
namespace {
namespace fs = std::filesystem;

struct Options {
    std::vector<long> sizes{1'000, 10'000, 100'000};
    long folders = 5'000;  // small chains for the dry run's second table; 0: none
    int reps = 3;
    fs::path scratch_parent = fs::temp_directory_path();
};

struct Contender {
    const char* name;
    bool (*run)(const Chain&);
    bool changes_disk = true;  // false for the dry run and the undo
    std::vector<Measured> runs;
    bool (*prepare)(const Chain&) = nullptr;  // untimed, before the run
};

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--huge") {
            options.sizes.push_back(1'000'000);
        } else if (arg == "--only" && i + 1 < argc) {
            options.sizes = {std::atol(argv[++i])};
        } else if (arg == "--folders" && i + 1 < argc) {
            options.folders = std::atol(argv[++i]);
        } else if (arg == "--reps" && i + 1 < argc) {
            options.reps = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--dir" && i + 1 < argc) {
            options.scratch_parent = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: karuneo-bench [--huge | --only N] [--folders M] [--reps K] "
                         "[--dir SCRATCH]\n");
            std::exit(2);
        }
    }
    return options;
}

// Noise only ever adds time, so the median of a few runs is what is shown.
Measured Median(std::vector<Measured> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Measured& a, const Measured& b) { return a.seconds < b.seconds; });
    return runs[runs.size() / 2];
}

// A fresh tree per run, flushed to disk first, so no run inherits another's
// pending writes; a run counts only if D ends up holding exactly the N entries.
Measured TimeOnce(const Contender& contender, const fs::path& scratch, long entries) {
    const Chain chain = MakeChain(scratch, entries);
    if (contender.prepare != nullptr && !contender.prepare(chain)) {
        return {};
    }
    ::sync();
    Measured measured = RunInChild([&] { return contender.run(chain); });
    const auto& holds = contender.changes_disk ? chain.dropped : chain.deepest;
    measured.ok = measured.ok && CountEntries(holds) == entries;
    fs::remove_all(chain.dropped);
    fs::remove_all(scratch / "state");
    return measured;
}

bool MeasureSize(const Options& options, const fs::path& scratch, long entries) {
    std::vector<Contender> contenders{{"engine", RunEngine, true, {}},
                                      {"floor", RunFloor, true, {}},
                                      {"find+mv", RunFindMv, true, {}},
                                      {"dry run", RunDryRun, false, {}},
                                      {"undo", RunUndo, false, {}, RunEngine},
                                      {"finishing", RunFinishing, true, {}, CutOffBeforeTheMoves}};
    // Interleaved, so that a slow spell of the machine hits all alike.
    for (int rep = 0; rep < options.reps; ++rep) {
        for (auto& contender : contenders) {
            contender.runs.push_back(TimeOnce(contender, scratch, entries));
            if (!contender.runs.back().ok) {
                std::fprintf(stderr, "%s failed at N=%ld\n", contender.name, entries);
                return false;
            }
        }
    }
    const Measured engine = Median(contenders[0].runs);
    const Measured floor = Median(contenders[1].runs);
    const Measured find = Median(contenders[2].runs);
    const Measured dry = Median(contenders[3].runs);
    const Measured undo = Median(contenders[4].runs);
    const Measured finishing = Median(contenders[5].runs);
    std::printf(
        "| %9ld | %9.4f | %9.4f | %9.4f | %6.2f | %6.2f | %9ld | %9ld | %9.4f | %6.2f | "
        "%9.4f | %6.2f | %9.4f | %6.2f |\n",
        entries, engine.seconds, floor.seconds, find.seconds, engine.seconds / floor.seconds,
        engine.seconds / find.seconds, engine.peak_kib, floor.peak_kib, dry.seconds,
        dry.seconds / engine.seconds, undo.seconds, undo.seconds / floor.seconds, finishing.seconds,
        finishing.seconds / floor.seconds);
    std::fflush(stdout);
    return true;
}

// Many small chains in one run: a dry run must stay linear in their number.
Measured TimeOverFolders(bool (*run)(const std::vector<fs::path>&), const fs::path& scratch,
                         long count) {
    const auto folders = MakeSmallChains(scratch, count);
    ::sync();
    Measured measured = RunInChild([&] { return run(folders); });
    fs::remove_all(scratch / "many");
    return measured;
}

bool MeasureFolders(const Options& options, const fs::path& scratch) {
    std::vector<Measured> engine;
    std::vector<Measured> bare;
    std::vector<Measured> dry;
    for (int rep = 0; rep < options.reps; ++rep) {
        engine.push_back(TimeOverFolders(RunEngineOver, scratch, options.folders));
        bare.push_back(TimeOverFolders(RunUnjournaledOver, scratch, options.folders));
        dry.push_back(TimeOverFolders(RunDryRunOver, scratch, options.folders));
        if (!engine.back().ok || !bare.back().ok || !dry.back().ok) {
            std::fprintf(stderr, "a run over %ld folders failed\n", options.folders);
            return false;
        }
    }
    const Measured e = Median(engine);
    const Measured b = Median(bare);
    const Measured d = Median(dry);
    std::printf("\n| %9s | %9s | %11s | %6s | %9s | %6s |\n|---:|---:|---:|---:|---:|---:|\n",
                "folders", "engine", "no journal", "e/n", "dry run", "d/e");
    std::printf("| %9ld | %9.4f | %11.4f | %6.2f | %9.4f | %6.2f |\n", options.folders, e.seconds,
                b.seconds, e.seconds / b.seconds, d.seconds, d.seconds / e.seconds);
    std::fflush(stdout);
    return true;
}

int Run(const Options& options) {
    const fs::path scratch =
        options.scratch_parent / ("karuneo-bench-" + std::to_string(::getpid()));
    fs::create_directories(scratch);
    std::printf("scratch %s, median of %d runs, seconds; peak RSS in KiB\n\n", scratch.c_str(),
                options.reps);
    std::printf(
        "| %9s | %9s | %9s | %9s | %6s | %6s | %9s | %9s | %9s | %6s | %9s | %6s | %9s | "
        "%6s |\n",
        "N", "engine", "floor", "find+mv", "e/floor", "e/find", "e peak", "fl peak", "dry run",
        "d/e", "undo", "u/floor", "finishing", "f/floor");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    bool ok = true;
    for (const long entries : options.sizes) {
        ok = ok && MeasureSize(options, scratch, entries);
    }
    if (ok && options.folders > 0) {
        ok = MeasureFolders(options, scratch);
    }
    fs::remove_all(scratch);
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace karuneo::bench

int main(int argc, char** argv) {
    try {
        return karuneo::bench::Run(karuneo::bench::Parse(argc, argv));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "karuneo-bench: %s\n", error.what());
        return 1;
    }
}
