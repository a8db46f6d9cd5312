#include "engine/journal/run_checks.h"

#include <algorithm>
#include <compare>
#include <memory>
#include <span>
#include <string_view>
#include <unordered_set>

#include "engine/error_number.h"
#include "engine/run/flatten_plan.h"

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
    return identity.ok() && (id == 0 || identity.value().id == id) && identity.value().kind == kind;
}

namespace {

bool ByName(const JournalEntry& entry, std::string_view name) {
    return entry.name < name;
}

}  // namespace

FolderContents FolderContents::Of(FileSystem& fs, const EntryPath& folder) {
    FolderContents contents;
    contents.ok_ = !fs.ListEntries(folder, [&contents](const Entry& entry) {
        contents.entries_.push_back({entry.name, entry.id, KindOfEntry(entry)});
        return true;
    });
    std::sort(contents.entries_.begin(), contents.entries_.end(),
              [](const JournalEntry& a, const JournalEntry& b) { return a.name < b.name; });
    return contents;
}

const JournalEntry* FolderContents::Find(std::string_view name) const {
    const auto found = std::lower_bound(entries_.begin(), entries_.end(), name, ByName);
    return found != entries_.end() && found->name == name ? &*found : nullptr;
}

bool FolderContents::Holds(const JournalEntry& entry) const {
    const JournalEntry* found = Find(entry.name);
    // 0: the listing told no number (Windows lists none); the kind must do.
    return found != nullptr && found->kind == entry.kind &&
           (entry.id == 0 || found->id == 0 || found->id == entry.id);
}

std::vector<std::string> FolderContents::NamesBut(std::span<const std::string> these) const {
    std::vector<std::string_view> excluded(these.begin(), these.end());
    std::sort(excluded.begin(), excluded.end());
    std::vector<std::string> names;
    auto next_excluded = excluded.begin();
    for (const auto& held : entries_) {
        next_excluded = std::lower_bound(next_excluded, excluded.end(), held.name);
        if (next_excluded == excluded.end() || *next_excluded != held.name) {
            names.push_back(held.name);
        }
    }
    return names;
}

Obstacle FolderContents::WhyNot(const JournalEntry& entry) const {
    const JournalEntry* found = Find(entry.name);
    if (found == nullptr) {
        return Obstacle::kEntryGone;
    }
    return found->kind != entry.kind ? Obstacle::kEntryKindChanged : Obstacle::kEntryReplaced;
}

bool IsFree(FileSystem& fs, const EntryPath& path) {
    const auto identity = fs.Identify(path);
    return identity.error() == kFileNotFound || identity.error() == kPathNotFound;
}

namespace {

bool IsTop(FileSystem& fs, const EntryPath& path, const JournalRun& run, const MadeTops& made) {
    const auto identity = fs.Identify(path);
    if (!identity.ok() || identity.value().kind != EntryKind::kFolder) {
        return false;
    }
    const std::uint64_t id = identity.value().id;
    const std::uint64_t own = run.chain.front().identity.id;
    return own == 0 || id == own ||
           std::find(made.ids.begin(), made.ids.end(), id) != made.ids.end();
}

}  // namespace

TopFound FindTop(FileSystem& fs, const JournalRun& run, const MadeTops& made) {
    const EntryPath root(run.root);
    if (run.chain.empty()) {
        return {};
    }
    if (IsTop(fs, root.Child(run.top()), run, made)) {
        return {TopPlace::kOwnName, run.top()};
    }
    for (auto temp = run.temps.rbegin(); temp != run.temps.rend(); ++temp) {
        if (IsTop(fs, root.Child(*temp), run, made)) {
            return {TopPlace::kTemporaryName, *temp};
        }
    }
    // An undo names its top before it makes it, and may be cut off before
    // it records what it made: a folder under that fresh name is its own.
    for (auto temp = made.temps.rbegin(); temp != made.temps.rend(); ++temp) {
        const auto identity = fs.Identify(root.Child(*temp));
        if (identity.ok() && identity.value().kind == EntryKind::kFolder) {
            return {TopPlace::kTemporaryName, *temp};
        }
    }
    return {};
}

EntryPath LevelUnder(const JournalRun& run, const std::string& top_name, std::size_t depth) {
    EntryPath level = EntryPath(run.root).Child(top_name);
    for (std::size_t i = 1; i <= depth && i < run.chain.size(); ++i) {
        level = level.Child(run.chain[i].name);
    }
    return level;
}

EntryPath DeepestUnder(const JournalRun& run, const std::string& top_name) {
    return LevelUnder(run, top_name, run.chain.size() - 1);
}

std::size_t LevelsThere(FileSystem& fs, const JournalRun& run, const std::string& top_name) {
    if (top_name.empty()) {
        return 0;
    }
    std::size_t there = 1;
    for (; there < run.chain.size(); ++there) {
        const auto identity = fs.Identify(LevelUnder(run, top_name, there));
        if (!identity.ok() || identity.value().kind != EntryKind::kFolder) {
            break;
        }
    }
    return there;
}

namespace {

bool HasRepeatedNames(const std::vector<JournalEntry>& entries) {
    std::vector<std::string_view> names;
    names.reserve(entries.size());
    for (const auto& entry : entries) {
        names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return std::adjacent_find(names.begin(), names.end()) != names.end();
}

}  // namespace

Whereabouts FindPlannedEntries(FileSystem& fs, const JournalRun& run, const TopFound& top,
                               std::size_t levels_there, Obstacles& obstacles) {
    const bool deepest_there = levels_there == run.chain.size();
    const auto in_root = FolderContents::Of(fs, EntryPath(run.root));
    const auto in_deepest =
        deepest_there ? FolderContents::Of(fs, DeepestUnder(run, top.name)) : FolderContents();
    Whereabouts found;
    // A plan made from one listing names each entry once; only a journal
    // that lists a name again pays for telling the first from the others.
    const bool repeats = HasRepeatedNames(run.entries);
    std::unordered_set<std::string_view> seen;
    for (const auto& entry : run.entries) {
        if (entry.kind == EntryKind::kOther) {
            continue;  // a mount point, which no move takes
        }
        if (repeats && !seen.insert(entry.name).second) {
            continue;
        }
        // Where the listing tells no numbers, the top standing under a name
        // is told from an entry of that name by being the top.
        const bool top_there = !top.name.empty() && entry.name == top.name;
        const bool moved = !top_there && in_root.Holds(entry);
        const bool waiting = in_deepest.Holds(entry);
        if (moved && waiting) {
            obstacles.Add(Obstacle::kEntryInBothPlaces, entry.name);
        } else if (!moved && !waiting) {
            obstacles.Add(in_root.WhyNot(entry), entry.name);
        } else if (waiting) {
            found.waiting.push_back(entry.name);
        } else {
            found.moved.push_back(entry.name);
            if (in_deepest.Has(entry.name)) {
                found.name_taken_below.push_back(entry.name);
            }
        }
    }
    found.unplanned_in_root = in_root.NamesBut(found.moved);
    return found;
}

std::string FolderNameOf(const JournalRun& run) {
    return EntryPath(run.root).LastName();
}

}  // namespace karuneo::journal
