#include "bench/contenders.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include "engine/dry_run/dry_run_file_system.h"
#include "engine/file_system_linux.h"
#include "engine/journal/journaled_walk.h"
#include "engine/journal/recovery.h"
#include "engine/journal/undo.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"
#include "engine/testing/failing_file_system.h"
#include "engine/unnest.h"

extern char** environ;

namespace karuneo::bench {
namespace {

class CountingSink final : public ResultSink {
  public:
    void AddResult(std::string_view, RowStatus status) override {
        ++rows;
        done = status == RowStatus::kDone;
    }
    int rows = 0;
    bool done = false;
};

// The least any tool must do: one pass over B, one rename per entry.
bool MoveAllOnce(int from, int to) {
    DIR* dir = ::fdopendir(from);
    if (dir == nullptr) {
        return false;
    }
    bool ok = true;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
            continue;
        }
        ok = ok && ::renameat2(::dirfd(dir), name, to, name, RENAME_NOREPLACE) == 0;
    }
    ::closedir(dir);
    return ok;
}

std::string JournalOf(const std::filesystem::path& dropped) {
    return (dropped.parent_path() / "state" / "journal").string();
}

}  // namespace

bool RunUndo(const Chain& chain) {
    LinuxFileSystem fs;
    CountingSink sink;
    journal::UndoLastRun(chain.dropped.string(), fs, sink, UninterruptedWalk(),
                         JournalOf(chain.dropped));
    return sink.done;
}

bool CutOffBeforeTheMoves(const Chain& chain) {
    LinuxFileSystem native;
    testing::FailingFileSystem killed(native);
    killed.OnCall([&killed](int call, testing::Operation operation) {
        if (operation == testing::Operation::kMoveEntries) {
            killed.KillAtCall(call);
        }
    });
    CountingSink sink;
    journal::ProcessJournaled(chain.dropped.string(), killed, sink, UninterruptedWalk(),
                              JournalOf(chain.dropped));
    return killed.killed();
}

bool RunFinishing(const Chain& chain) {
    LinuxFileSystem fs;
    CountingSink sink;
    journal::FinishCutOffRuns(JournalOf(chain.dropped), fs, sink);
    return sink.done;
}

bool RunUnjournaledOver(const std::vector<std::filesystem::path>& folders) {
    LinuxFileSystem fs;
    CountingSink sink;
    for (const auto& folder : folders) {
        ProcessDroppedPath(folder.string(), fs, sink);
        if (!sink.done) {
            return false;
        }
    }
    return sink.rows == static_cast<int>(folders.size());
}

// With its journal, as every run of the tool has one, in a state folder of
// the benchmark's own beside the trees.
bool RunEngineOver(const std::vector<std::filesystem::path>& folders) {
    LinuxFileSystem fs;
    CountingSink sink;
    const auto scratch = folders.front().parent_path();
    const std::string journal = (scratch / "state" / "journal").string();
    // One command over every folder, as the tool runs it: their syncs shared.
    std::vector<std::string> paths;
    for (const auto& folder : folders) {
        paths.push_back(folder.string());
    }
    journal::ProcessJournaledFolders(paths, fs, sink, UninterruptedWalk(), journal);
    return sink.done && sink.rows == static_cast<int>(folders.size());
}

bool RunDryRunOver(const std::vector<std::filesystem::path>& folders) {
    LinuxFileSystem fs;
    std::ofstream lines("/dev/null");
    dry_run::DryRunFileSystem preview(fs, lines);
    CountingSink sink;
    for (const auto& folder : folders) {
        ProcessDroppedPath(folder.string(), preview, sink);
        if (!sink.done) {
            return false;
        }
    }
    return sink.rows == static_cast<int>(folders.size());
}

bool RunEngine(const Chain& chain) {
    return RunEngineOver({chain.dropped});
}

bool RunDryRun(const Chain& chain) {
    return RunDryRunOver({chain.dropped});
}

bool RunFloor(const Chain& chain) {
    const int to = ::open(chain.dropped.c_str(), O_DIRECTORY | O_PATH | O_CLOEXEC);
    const int from = ::open(chain.deepest.c_str(), O_DIRECTORY | O_RDONLY | O_CLOEXEC);
    if (to < 0 || from < 0) {
        return false;  // the child exits at once; its descriptors go with it
    }
    const bool moved = MoveAllOnce(from, to);
    ::close(to);
    return moved && ::rmdir(chain.deepest.c_str()) == 0 &&
           ::rmdir(chain.deepest.parent_path().c_str()) == 0;
}

bool RunFindMv(const Chain& chain) {
    const std::string script =
        "find \"$1\" -mindepth 1 -maxdepth 1 -exec mv -n -t \"$2\" {} + && rmdir \"$1\" \"$3\"";
    const std::string deepest = chain.deepest.string();
    const std::string dropped = chain.dropped.string();
    const std::string middle = chain.deepest.parent_path().string();
    const char* argv[] = {
        "sh",           "-c",   script.c_str(), "sh", deepest.c_str(), dropped.c_str(),
        middle.c_str(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        return false;
    }
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace karuneo::bench
