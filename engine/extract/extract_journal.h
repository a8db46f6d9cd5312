#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error_number.h"
#include "engine/file_system.h"

namespace karuneo::extract {

// An extraction's journal, in a folder of its own beside the runs' journals
// and written as they are (escaped tokens, one line each, locked while the
// extraction runs). It names the temporary folder before it is made, its
// identity once it is, every entry of the finished folder, then its name:
// enough for a recovery to remove a cut-off extraction, and for an undo to
// remove a finished one exactly, and only if nothing in it changed since.
inline constexpr std::string_view kExtractFirstLine = "karuneo-extract 1";

// An entry of the finished folder, by its path below it ('/'-joined).
struct RecordedEntry {
    std::string path;
    EntryKind kind = EntryKind::kFile;
    std::uint64_t id = 0;
    std::uint64_t size = 0;     // files only
    std::int64_t mtime_ns = 0;  // files and links only

    friend bool operator==(const RecordedEntry&, const RecordedEntry&) = default;
};

struct ExtractJournal {
    std::string archive;  // absolute paths
    std::string parent;
    std::string temp;  // the new folder's temporary name
    bool made = false;
    Identity top;  // the new folder's, once made
    std::vector<RecordedEntry> entries;
    std::string named;  // its own name, once given
    bool closed = false;
    bool undone = false;
};

std::string ExtractJournalFolder(const std::string& journal_folder);

std::string HeadLines(const std::string& archive, const std::string& parent,
                      const std::string& temp);
std::string MadeLine(const Identity& top);
std::string EntryLine(const RecordedEntry& entry);
std::string NamedLine(const std::string& name);

// kUnexpected for a line that makes no sense: such a journal is never acted on.
Result<ExtractJournal> ParseExtractJournal(std::string_view text);

// The first path of `now` that is not as recorded, or that is there
// unrecorded; none when the two agree.
std::optional<std::string> FirstDifference(const std::vector<RecordedEntry>& now,
                                           const std::vector<RecordedEntry>& recorded);

}  // namespace karuneo::extract
