#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/error_number.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/run_checks.h"
#include "engine/reason/row_reason.h"

namespace karuneo {
struct Identity;
}  // namespace karuneo

namespace karuneo::journal {

// A run found in the journal folder, to undo; or why there is none to undo.
struct RunFound {
    std::string journal;  // its path
    JournalRun run;
    MadeTops made;  // what undoes of it made, cut off or stopped part-way
    std::optional<Obstacle> refused;
    std::string about;
};

std::string FileName(const std::string& path);

// A journal read and parsed: any failure to read it is a failure, never an
// empty run.
PartlyRead<JournalRun> ReadRun(const std::string& path);
// What a list needs of it: its folder, its kind and how it ended, read from
// its head and its last lines only (entries and steps may be missing).
PartlyRead<JournalRun> Glance(const std::string& path);

// The last run on the folder at `absolute` with `identity`, by the order the
// program keeps: the newest journal of it that is no undo. It must have ended,
// and not been undone already.
RunFound FindLastRun(const std::string& journal_folder, const std::string& absolute,
                     const Identity& identity);

// The run that the undo whose journal is `undo_journal` undoes.
RunFound FindRunOfUndo(const std::string& journal_folder, const std::string& undo_journal,
                       const Identity& identity);

// What the program keeps of one run, for a list of them. kRunning: not
// ended, and a process writes it still.
enum class RunStateShown { kFinished, kCutOff, kUndone, kUndo, kForgotten, kDamaged, kRunning };

struct KeptRun {
    std::string journal;
    std::string folder;
    long long sequence = 0;
    RunStateShown state = RunStateShown::kFinished;
    std::int64_t written = 0;  // JournalWrittenAt
    // The run FindLastRun takes on its folder, and one it does not refuse by
    // its journal alone: whether the folder is still the same one, only the
    // undo asks the disk.
    bool undoable = false;
};

// Every journal kept, oldest first. A long journal is read by its head and
// its last lines only, so that listing a thousand runs stays quick.
std::vector<KeptRun> KeptRuns(const std::string& journal_folder);

// Retires the cut-off runs on `absolute` by a closing mark, asking nothing of
// the disk; how many were retired. With `dry_run`, only counts them.
int ForgetCutOffRuns(const std::string& journal_folder, const std::string& absolute, bool dry_run);
// The same for one journal: false when it has ended, a process still writes
// it, or the mark could not be written.
bool ForgetCutOffRun(const std::string& journal_path);

}  // namespace karuneo::journal
