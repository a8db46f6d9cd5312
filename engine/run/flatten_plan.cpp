#include "engine/run/flatten_plan.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

#include "engine/nest_limit.h"
#include "engine/reason/row_reason.h"
#include "engine/row_status.h"
#include "engine/unnest.h"

namespace karuneo {
namespace {

// A dropped folder that holds a chain holds one visible entry; its hidden
// ones are remembered so that an undo can tell them from newcomers.
constexpr std::size_t kHiddenKept = 4096;

struct SingleEntry {
    long long visible_count = 0;  // below the top, 2 means two or more
    Entry last;
    std::vector<std::string> first_names;  // of the dropped folder, up to kNamedEntries + 1
    std::vector<std::string> hidden;       // of the dropped folder
};

// Only whether there is exactly one visible entry matters, so below the top
// the listing stops at the second: a folder of a million entries costs two.
// The dropped folder itself is counted to the end, so that a "未処理" row
// can say how many entries it holds.
Result<SingleEntry> FindSingleEntry(WalkContext& walk, const EntryPath& folder, bool count_all) {
    SingleEntry found;
    walk.attempt = Attempt::kList;
    Failure error = walk.fs.ListEntries(folder, [&found, count_all](const Entry& entry) {
        if (entry.is_hidden) {
            if (count_all && found.hidden.size() < kHiddenKept) {
                found.hidden.push_back(entry.name);
            }
            return true;
        }
        found.last = entry;
        if (count_all && found.visible_count <= kNamedEntries) {
            found.first_names.push_back(entry.name);
        }
        return ++found.visible_count < 2 || count_all;
    });
    if (error) {
        return error;
    }
    return found;
}

NotNested WhatItHolds(const SingleEntry& single) {
    if (single.visible_count != 1) {
        return single.visible_count == 0 ? NotNested::kEmpty : NotNested::kEntries;
    }
    if (single.last.is_link) {
        return NotNested::kSingleLink;
    }
    return single.last.is_mount_point ? NotNested::kSingleMountPoint : NotNested::kSingleFile;
}

Completed NotNestedRow(const SingleEntry& single) {
    UntouchedReason reason{WhatItHolds(single), single.visible_count, {}};
    if (single.visible_count <= kNamedEntries) {
        reason.names = single.first_names;
        std::sort(reason.names.begin(), reason.names.end());
    }
    return {RowStatus::kUntouched, reason};
}

// Identity and look are read before the folder is listed, which may change
// its access time.
void NoteLevel(WalkContext& walk, FlattenPlan& plan, const EntryPath& folder) {
    PlannedLevel level{folder.LastName(), {}, {}};
    auto identity = walk.fs.Identify(folder);
    auto look = walk.fs.LookOfFolder(folder);
    if (!plan.unrecordable) {
        plan.unrecordable = identity.ok() ? look.error() : identity.error();
    }
    // Without them the plan is still made, only not recorded.
    if (identity.ok()) {
        level.identity = identity.value();
    }
    if (look.ok()) {
        level.look = std::move(look.value());
    }
    plan.chain.push_back(std::move(level));
}

// One listing of the deepest folder serves the whole move; hidden entries
// move like the others, files before folders.
Failure ListDeepest(WalkContext& walk, const EntryPath& deepest, FlattenPlan& plan) {
    std::vector<PlannedEntry> folders;
    walk.attempt = Attempt::kList;
    Failure error = walk.fs.ListEntries(deepest, [&plan, &folders](const Entry& entry) {
        (entry.is_folder ? folders : plan.entries)
            .push_back({entry.name, entry.id, KindOfEntry(entry)});
        return true;
    });
    std::move(folders.begin(), folders.end(), std::back_inserter(plan.entries));
    return error;
}

PlanOutcome PlanLevels(WalkContext& walk, FlattenPlan plan, EntryPath folder) {
    for (;;) {
        walk.attempt = Attempt::kOpen;
        // Every folder the run changes or empties is claimed before it
        // looks inside, so that two runs never work in one chain at once.
        if (auto error = walk.fs.ClaimFolder(folder)) {
            return error;
        }
        NoteLevel(walk, plan, folder);
        const auto single = FindSingleEntry(walk, folder, false);
        if (!single.ok()) {
            return single.error();
        }
        if (single.value().visible_count != 1 || !single.value().last.is_folder) {
            break;
        }
        if (static_cast<int>(plan.chain.size()) >= kMaxNestLevel) {
            return Failure{kOverflow, 0, folder.Child(single.value().last.name).Below()};
        }
        folder = folder.Child(single.value().last.name);
    }
    if (auto error = ListDeepest(walk, folder, plan)) {
        return error;
    }
    return plan;
}

}  // namespace

EntryPath FlattenPlan::Deepest(const std::string& top_name) const {
    EntryPath deepest = root.Child(top_name);
    for (std::size_t i = 1; i < chain.size(); ++i) {
        deepest = deepest.Child(chain[i].name);
    }
    return deepest;
}

std::vector<std::string> FlattenPlan::Names(std::size_t first, std::size_t count) const {
    std::vector<std::string> names;
    for (std::size_t i = first; i < first + count && i < chain.size(); ++i) {
        names.push_back(chain[i].name);
    }
    return names;
}

PlanOutcome MakeFlattenPlan(WalkContext& walk, const EntryPath& root) {
    walk.attempt = Attempt::kOpen;
    if (auto error = walk.fs.ClaimFolder(root)) {
        return error;
    }
    const auto single = FindSingleEntry(walk, root, true);
    if (!single.ok()) {
        return single.error();
    }
    if (single.value().visible_count != 1 || !single.value().last.is_folder) {
        return NotNestedRow(single.value());
    }
    FlattenPlan plan;
    plan.root = root;
    plan.root_hidden = single.value().hidden;
    auto identity = walk.fs.Identify(root);
    plan.unrecordable = identity.error();
    if (identity.ok()) {
        plan.root_identity = identity.value();
    }
    return PlanLevels(walk, std::move(plan), root.Child(single.value().last.name));
}

Result<bool> IsFolderEmpty(FileSystem& fs, const EntryPath& path) {
    bool empty = true;
    Failure error = fs.ListEntries(path, [&empty](const Entry& entry) {
        if (entry.is_hidden) {
            return true;
        }
        empty = false;
        return false;
    });
    if (error) {
        return error;
    }
    return empty;
}

}  // namespace karuneo
