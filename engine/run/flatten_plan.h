#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/file_system.h"

namespace karuneo {
struct Completed;
struct WalkContext;

// An entry of the deepest folder as the plan found it.
struct PlannedEntry {
    std::string name;
    std::uint64_t id = 0;  // 0 where the listing tells none
    EntryKind kind = EntryKind::kFile;
};

// A chain folder as the plan found it, before anything changed.
struct PlannedLevel {
    std::string name;
    Identity identity;
    FolderLook look;
};

// Everything a run will change, found by a pass that changes nothing but
// holds its claims: a record of it, made before the first change, lets a later
// reader tell the run's own entries from any others by their identity.
struct FlattenPlan {
    EntryPath root{""};
    Identity root_identity;
    std::vector<std::string> root_hidden;  // hidden entries of the dropped folder
    std::vector<PlannedLevel> chain;       // the top first, the deepest last
    std::vector<PlannedEntry> entries;     // in the order they move: files, then folders
    // Why identities or looks could not be read: a run without them can
    // still be made, but not recorded.
    Failure unrecordable;

    // The deepest folder with the top under `top_name`.
    EntryPath Deepest(const std::string& top_name) const;
    std::vector<std::string> Names(std::size_t first, std::size_t count) const;
};

// What the read-only pass ends with: a plan, or the row of a folder that is
// not nested, or the failure that ended the look.
using PlanOutcome = std::variant<FlattenPlan, Completed, Failure>;

// The read-only pass over the dropped folder. Claims every folder it looks
// into, as the run that follows changes them.
PlanOutcome MakeFlattenPlan(WalkContext& walk, const EntryPath& root);

// True when the folder holds no entry that a listing shows.
Result<bool> IsFolderEmpty(FileSystem& fs, const EntryPath& path);

}  // namespace karuneo
