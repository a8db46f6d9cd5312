#include "engine/journal/left_stopped.h"

#include <map>
#include <optional>
#include <utility>

#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/file_system.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/journal_runs.h"

namespace karuneo::journal {
namespace {

// Read from its last lines first: most runs finished, and a window start
// must not read every kept journal whole.
std::optional<LeftStopped> StoppedPartWay(const std::string& path, const JournalRun& glance) {
    if (!glance.closed || glance.undone) {
        return std::nullopt;
    }
    const auto tail = ReadJournalTail(path, 64);
    if (!tail.ok() || (tail.value().find("\nsettled own\n") == std::string::npos &&
                       tail.value().find("\nsettled temp\n") == std::string::npos)) {
        return std::nullopt;
    }
    const auto run = ReadRun(path);
    if (!run.ok() || run.value().moved.empty()) {
        return std::nullopt;
    }
    return LeftStopped{run.value().root, static_cast<long long>(run.value().moved.size()),
                       static_cast<long long>(run.value().entries.size())};
}

bool FolderExists(FileSystem& fs, const std::string& path) {
    const EntryPath root(path);
    const HeldRoot held(fs, root);
    return fs.FolderName(root).ok();
}

}  // namespace

std::vector<LeftStopped> RunsLeftStopped(const std::string& journal_folder, FileSystem& fs) {
    // Only the last run on a folder counts: a later one, or an undo of this
    // one, has moved on from what this one left.
    std::map<std::string, std::optional<LeftStopped>> last_on_folder;
    std::vector<std::string> order;
    for (const auto& path : ListJournals(journal_folder)) {
        const auto run = Glance(path);
        if (!run.ok() || run.value().kind != JournalKind::kFlatten || run.value().forgotten ||
            run.value().root.empty()) {
            continue;
        }
        const JournalRun& found = run.value();
        if (!last_on_folder.contains(found.root)) {
            order.push_back(found.root);
        }
        last_on_folder[found.root] = StoppedPartWay(path, found);
    }
    std::vector<LeftStopped> left;
    for (const auto& folder : order) {
        auto& last = last_on_folder[folder];
        if (last && FolderExists(fs, folder)) {
            left.push_back(std::move(*last));
        }
    }
    return left;
}

}  // namespace karuneo::journal
