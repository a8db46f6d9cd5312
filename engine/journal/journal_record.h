#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error_number.h"
#include "engine/file_system.h"

namespace karuneo::journal {

// One run's journal is a text file of lines, each a keyword and tokens
// separated by single spaces. Names are arbitrary bytes, so every token is
// escaped: a byte outside printable ASCII, a space, '%' and '/' become %XX.
// A path below the dropped folder is its escaped names joined with '/'.
// Only lines that end in a newline count: the last line of a run that was
// killed while writing it is torn, and is read as never written.
inline constexpr std::string_view kFirstLine = "karuneo-journal 1";

std::string EscapeToken(std::string_view bytes);
std::optional<std::string> UnescapeToken(std::string_view token);
std::string PathToken(const std::vector<std::string>& names);
std::optional<std::vector<std::string>> PathFromToken(std::string_view token);

// An entry of the deepest folder as it stood before the run moved it.
struct JournalEntry {
    std::string name;
    std::uint64_t id = 0;
    EntryKind kind = EntryKind::kFile;
};

// A chain folder below the dropped folder, as listed during the run (the
// top under its temporary name), and its look before the run touched it.
struct ChainLevel {
    std::vector<std::string> below;
    FolderLook look;
};

// Everything a journal says, read back.
struct JournalRun {
    std::string root;  // the dropped folder's absolute path
    Identity root_identity;
    std::vector<std::string> hidden;  // hidden entries of the dropped folder before the run
    std::string top;                  // the chain's top, its own name
    std::uint64_t top_id = 0;
    FolderLook top_look;
    std::string temp;  // the temporary name it was given
    std::vector<ChainLevel> levels;
    std::vector<std::string> deepest;   // below the dropped folder; empty before any move
    std::vector<JournalEntry> entries;  // about to move, in the order listed
    std::vector<std::string> moved;     // as they moved
    std::vector<std::vector<std::string>> removed;
    bool closed = false;
    bool undone = false;
    bool finished_anew = false;  // closed by a recovery that ran the walk again
};

// The lines, each with its newline.
std::string HeaderLines(const JournalRun& run);
std::string TempLine(std::string_view temp);
std::string LevelLine(const ChainLevel& level);
std::string BatchLine(const std::vector<std::string>& deepest);
std::string EntryLine(const JournalEntry& entry);
std::string MovedLine(std::string_view name);
std::string RemovedLine(const std::vector<std::string>& below);
inline constexpr std::string_view kCloseLine = "close\n";
inline constexpr std::string_view kUndoneLine = "undone\n";
inline constexpr std::string_view kFinishedAnewLine = "finished-anew\n";

// The run a journal tells of; kUnexpected, with the number of the first
// damaged line as its code, when a whole line makes no sense.
Result<JournalRun> ParseJournal(std::string_view text);

}  // namespace karuneo::journal
