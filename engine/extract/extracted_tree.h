#pragma once

#include <string>
#include <vector>

#include "engine/error_number.h"

namespace karuneo {
struct Identity;
}  // namespace karuneo

namespace karuneo::extract {

struct RecordedEntry;

// What the journal of an extraction needs of the disk, and what its undo
// and recovery do there; links are never followed. One implementation per
// system.

// The entry's identity, a link's own.
Result<Identity> IdentityOfPath(const std::string& path);

// Every entry below the folder, each folder before what it holds.
Result<std::vector<RecordedEntry>> ListTree(const std::string& folder);

// The name of the entry of `parent` that has `identity`; empty when none has.
std::string NameWithIdentity(const std::string& parent, const Identity& identity);

// Removes the folder `name` of `parent`, with everything below it, when it
// is the folder of `identity`: what a cut-off extraction left under its
// temporary name. False when something stays.
bool RemoveWholeTree(const std::string& parent, const std::string& name, const Identity& identity);

// Removes the folder at `path` only if it is empty.
bool RemoveEmptyFolderAt(const std::string& path);

struct RecordedRemoval {
    bool as_recorded = false;
    std::string first_difference;  // below the folder; "" for the folder itself
    bool removed = false;
};

// Whether the folder is the one of `identity` and the entries `recorded`
// below it are all as recorded (identity, size, modification time), with
// nothing else there: as_recorded, or the first difference. Shared by every
// system's RemoveRecordedTree, which looks before it removes anything.
RecordedRemoval CheckRecordedTree(const std::string& folder, const Identity& identity,
                                  const std::vector<RecordedEntry>& recorded);

// Removes the folder and the entries `recorded` below it, but only when
// they are all as recorded (identity, size, modification time) and nothing
// else is there; otherwise nothing. With `check_only`, only tells.
RecordedRemoval RemoveRecordedTree(const std::string& folder, const Identity& identity,
                                   const std::vector<RecordedEntry>& recorded, bool check_only);

}  // namespace karuneo::extract
