#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error_number.h"
#include "engine/file_system.h"
#include "engine/reason/row_reason.h"
#include "engine/run/flatten_plan.h"

namespace karuneo::journal {

// One run's journal is a text file of lines, each a keyword and tokens
// separated by single spaces. Names are arbitrary bytes, so every token is
// escaped: a byte outside printable ASCII, a space, '%' and '/' become %XX.
// A path below the dropped folder is its escaped names joined with '/'.
// Only lines that end in a newline count: the last line of a run that was
// killed while writing it is torn, and is read as never written.
//
// A run's plan comes first and is on the disk before its first change; the
// steps follow as they are taken. An undo or a put-back is a run too, with a
// journal of its own that names the journal of the run it undoes.
inline constexpr std::string_view kFirstLine = "karuneo-journal 2";
// What earlier versions wrote: still read, to finish or undo their runs.
inline constexpr std::string_view kFirstLineVersion1 = "karuneo-journal 1";

std::string EscapeToken(std::string_view bytes);
std::optional<std::string> UnescapeToken(std::string_view token);
std::string PathToken(const std::vector<std::string>& names);
std::optional<std::vector<std::string>> PathFromToken(std::string_view token);

using JournalEntry = PlannedEntry;

enum class JournalKind { kFlatten, kUndo };

// A chain folder an undo made again, at its depth below the dropped folder.
struct MadeLevel {
    std::size_t depth = 0;
    Identity identity;
};

// Everything a journal says, read back.
struct JournalRun {
    int version = 2;
    JournalKind kind = JournalKind::kFlatten;
    std::string undoes;  // for an undo: the file name of the run's journal
    std::string root;    // the dropped folder's absolute path
    Identity root_identity;
    std::vector<std::string> hidden;    // hidden entries of the dropped folder before the run
    std::vector<PlannedLevel> chain;    // the top (by its own name) first
    std::vector<JournalEntry> entries;  // the deepest folder's, about to move, in order
    std::vector<std::string> temps;     // the top's temporary names, in the order tried
    std::vector<std::string> moved;     // as they moved (up, or back for an undo)
    std::vector<std::vector<std::string>> removed;
    std::vector<MadeLevel> made;
    std::optional<ChainPlace> settled;
    bool planned = false;  // the whole plan reached the disk
    bool closed = false;
    bool undone = false;
    bool finished_anew = false;  // closed by a recovery that ran the walk again
    bool told = false;           // cut off, its folder gone: said once
    bool forgotten = false;      // retired by the user, asking nothing of the disk

    const std::string& top() const;
    // The name the top took last; empty before any.
    std::string temp() const { return temps.empty() ? std::string() : temps.back(); }
    bool Ended() const { return closed || forgotten; }
};

// The plan's lines, each with its newline: every one of them is written and
// synced before the top is renamed.
std::string PlanLines(const FlattenPlan& plan, const std::string& absolute_root);
std::string UndoLines(const std::string& undoes, const std::string& absolute_root,
                      const Identity& root_identity);
std::string TempLine(std::string_view temp);
std::string MovedLine(std::string_view name);
std::string RemovedLine(const std::vector<std::string>& below);
std::string SettledLine(ChainPlace place);
std::string MadeLine(const MadeLevel& made);
inline constexpr std::string_view kPlannedLine = "planned\n";
inline constexpr std::string_view kCloseLine = "close\n";
inline constexpr std::string_view kUndoneLine = "undone\n";
inline constexpr std::string_view kFinishedAnewLine = "finished-anew\n";
inline constexpr std::string_view kToldLine = "told\n";
inline constexpr std::string_view kForgottenLine = "forgotten\n";

// Whether a journal whose last bytes are `tail` has ended: closed, or a
// later mark. Reads no more than the tail.
bool EndsClosed(std::string_view tail);

// Sets the end marks (close, and those added after it) that the last whole
// lines of `tail`, a journal's last bytes, hold, as ParseJournal would: what
// a list of runs needs of a journal too long to read whole. The first line of
// `tail` is taken for a torn one.
void ReadEndMarks(std::string_view tail, JournalRun& run);

// The run a journal tells of, as far as its lines make sense: a damaged one
// still names its folder for the row about it. kUnexpected, with the number of the first
// damaged line as its code, when a whole line makes no sense, or names a path
// that could reach outside the dropped folder: such a journal is never acted on.
PartlyRead<JournalRun> ParseJournal(std::string_view text);

}  // namespace karuneo::journal
