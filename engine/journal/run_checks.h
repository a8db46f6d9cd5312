#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "engine/entry_path.h"
#include "engine/file_system.h"
#include "engine/reason/row_reason.h"

namespace karuneo::journal {
struct JournalEntry;
struct JournalRun;

// The things in the way of finishing or undoing a run: the first is told,
// the others counted.
class Obstacles {
  public:
    void Add(Obstacle obstacle, std::string entry);
    bool any() const { return first_.has_value(); }
    // The row's reason for `event`, kNotFinished or kNotUndone.
    JournalReason Reason(JournalEvent event) const;

  private:
    std::optional<std::pair<Obstacle, std::string>> first_;
    long long others_ = 0;
};

// Where the chain's top is now, told by its identity.
enum class TopPlace { kOwnName, kTemporaryName, kGone };

// Whether the entry at `path` exists and is the one with number `id`, of
// that kind: a number freed by a removal may come back for a new entry.
bool IsEntry(FileSystem& fs, const EntryPath& path, std::uint64_t id, EntryKind kind);
// Whether nothing holds the name at `path`.
bool IsFree(FileSystem& fs, const EntryPath& path);

TopPlace FindTop(FileSystem& fs, const EntryPath& root, const JournalRun& run);
// The top's name in that place; empty when it is gone.
std::string TopName(const JournalRun& run, TopPlace place);
// The deepest folder as it is named with the top in that place.
EntryPath DeepestNow(const EntryPath& root, const JournalRun& run, TopPlace place);

// The last entry the journal lists under each name, by name.
std::unordered_map<std::string, const JournalEntry*> EntriesByName(const JournalRun& run);

// The dropped folder's name, from the path its journal holds.
std::string FolderNameOf(const JournalRun& run);

}  // namespace karuneo::journal
