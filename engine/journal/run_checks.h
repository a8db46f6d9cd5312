#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/entry_path.h"
#include "engine/file_system.h"
#include "engine/journal/journal_record.h"
#include "engine/reason/row_reason.h"

namespace karuneo::journal {

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

// Whether the entry at `path` exists and is the one with number `id`, of
// that kind: a number freed by a removal may come back for a new entry.
bool IsEntry(FileSystem& fs, const EntryPath& path, std::uint64_t id, EntryKind kind);
// What a folder holds, by name, as one listing tells it: a folder of many
// entries costs one pass over it, not a look-up of each.
class FolderContents {
  public:
    // Empty, and not ok(), when the folder cannot be listed.
    static FolderContents Of(FileSystem& fs, const EntryPath& folder);

    bool ok() const { return ok_; }
    // The entry itself: of its kind, and with its number where the plan has one.
    bool Holds(const JournalEntry& entry) const;
    bool Has(std::string_view name) const { return Find(name) != nullptr; }
    // Every name it holds but `these`, in the order of their bytes.
    std::vector<std::string> NamesBut(std::span<const std::string> these) const;
    // Why the entry is not here: gone, or its name held by another entry or
    // by one of another kind.
    Obstacle WhyNot(const JournalEntry& entry) const;

  private:
    const JournalEntry* Find(std::string_view name) const;

    bool ok_ = false;
    // Sorted by name once listed: an undo of 100 000 entries looks each of
    // them up, and one sort costs far less than a hashed node per entry.
    std::vector<JournalEntry> entries_;
};
// Whether nothing holds the name at `path`.
bool IsFree(FileSystem& fs, const EntryPath& path);

// Where the chain's top is now, told by its identity: under its own name,
// under a temporary name the run or an undo gave it, or gone.
enum class TopPlace { kOwnName, kTemporaryName, kGone };

struct TopFound {
    TopPlace place = TopPlace::kGone;
    std::string name;  // the top's name now; empty when it is gone
};

// The tops an undo of the run made again, with the temporary names it gave
// them: they count as the run's own top.
struct MadeTops {
    std::vector<std::uint64_t> ids;
    std::vector<std::string> temps;
};

TopFound FindTop(FileSystem& fs, const JournalRun& run, const MadeTops& made = {});
// The chain folder at `depth` with the top named `top_name`.
EntryPath LevelUnder(const JournalRun& run, const std::string& top_name, std::size_t depth);
EntryPath DeepestUnder(const JournalRun& run, const std::string& top_name);
// How many chain folders stand, from the top down, the top named `top_name`.
std::size_t LevelsThere(FileSystem& fs, const JournalRun& run, const std::string& top_name);

// Where each entry the run planned to move is now, judged by the disk: a
// listing of the dropped folder and one of the deepest folder, the top
// standing under `top.name` and `levels_there` chain folders from it down.
// An entry in neither place, or in both, is an obstacle.
struct Whereabouts {
    std::vector<std::string> moved;    // in the dropped folder, in the plan's order
    std::vector<std::string> waiting;  // in the deepest folder
    // Moved, while another entry holds its name in the deepest folder.
    std::vector<std::string> name_taken_below;
    // What else the dropped folder holds (the top, hidden entries, any that
    // came after the run), from the same listing.
    std::vector<std::string> unplanned_in_root;
};
Whereabouts FindPlannedEntries(FileSystem& fs, const JournalRun& run, const TopFound& top,
                               std::size_t levels_there, Obstacles& obstacles);

// The dropped folder's name, from the path its journal holds.
std::string FolderNameOf(const JournalRun& run);

}  // namespace karuneo::journal
