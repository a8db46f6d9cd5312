#include "engine/journal/run_checks.h"

#include <cstddef>
#include <vector>

#include "engine/error_number.h"
#include "engine/journal/journal_record.h"

namespace karuneo::journal {

void Obstacles::Add(Obstacle obstacle, std::string entry) {
    if (first_) {
        ++others_;
    } else {
        first_.emplace(obstacle, std::move(entry));
    }
}

JournalReason Obstacles::Reason(JournalEvent event) const {
    JournalReason reason;
    reason.event = event;
    if (first_) {
        reason.obstacle = first_->first;
        reason.entry = first_->second;
        reason.others = others_;
    }
    return reason;
}

bool IsEntry(FileSystem& fs, const EntryPath& path, std::uint64_t id, EntryKind kind) {
    const auto identity = fs.Identify(path);
    // 0: the listing told no number (Windows lists none); the kind must do.
    return identity.ok() && (id == 0 || identity.value.id == id) && identity.value.kind == kind;
}

bool IsFree(FileSystem& fs, const EntryPath& path) {
    const auto identity = fs.Identify(path);
    return identity.error == kFileNotFound || identity.error == kPathNotFound;
}

TopPlace FindTop(FileSystem& fs, const EntryPath& root, const JournalRun& run) {
    if (IsEntry(fs, root.Child(run.top), run.top_id, EntryKind::kFolder)) {
        return TopPlace::kOwnName;
    }
    if (!run.temp.empty() && IsEntry(fs, root.Child(run.temp), run.top_id, EntryKind::kFolder)) {
        return TopPlace::kTemporaryName;
    }
    return TopPlace::kGone;
}

std::string TopName(const JournalRun& run, TopPlace place) {
    switch (place) {
        case TopPlace::kOwnName:
            return run.top;
        case TopPlace::kTemporaryName:
            return run.temp;
        default:
            return {};
    }
}

EntryPath DeepestNow(const EntryPath& root, const JournalRun& run, TopPlace place) {
    EntryPath deepest = root.Child(place == TopPlace::kTemporaryName ? run.temp : run.top);
    for (std::size_t i = 1; i < run.deepest.size(); ++i) {
        deepest = deepest.Child(run.deepest[i]);
    }
    return deepest;
}

std::unordered_map<std::string, const JournalEntry*> EntriesByName(const JournalRun& run) {
    std::unordered_map<std::string, const JournalEntry*> by_name;
    for (const auto& entry : run.entries) {
        by_name[entry.name] = &entry;
    }
    return by_name;
}

std::string FolderNameOf(const JournalRun& run) {
    return EntryPath(run.root).LastName();
}

}  // namespace karuneo::journal
