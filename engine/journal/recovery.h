#pragma once

#include <string>
#include <vector>

#include "engine/walk_control.h"

namespace karuneo {
class FileSystem;
class ResultSink;
}  // namespace karuneo

namespace karuneo::journal {
struct JournalRun;

// The journals in `journal_folder` of runs that were cut off: never closed,
// and held by no running process.
std::vector<std::string> CutOffJournals(const std::string& journal_folder);

// Finishes each run that was cut off, one row for each, as the windows do at
// start and `karuneo-cli --recover` does. A run is finished only when its
// dropped folder is the same one and every entry it was moving is either
// where it was or where the run was putting it; it then ends as the run would
// have, and its row says that a run that was cut off was finished. Otherwise
// nothing is touched, the row reads "エラー" with the first thing in the way,
// and the journal stays for another try. With `dry_run` (`fs` being a dry-run
// layer) no journal is written or removed.
void FinishCutOffRuns(const std::string& journal_folder, FileSystem& fs, ResultSink& sink,
                      WalkControl& control = UninterruptedWalk(), bool dry_run = false);

// Whether the file system the run's folder was on is there now: when a
// folder above it is on another one, its disk is not mounted, and the run
// waits without a word.
bool RootsFileSystemMounted(FileSystem& fs, const JournalRun& run);

// Whether the run's dropped folder is there now.
bool FolderOfRunExists(FileSystem& fs, const JournalRun& run);

// A cut-off run whose folder is gone is told of once: true when this is the
// time, and the journal then says it was told. On a file system that is not
// mounted it waits without a word: false.
bool TellGoneOnce(FileSystem& fs, const std::string& journal_path, const JournalRun& run);

// The same for one journal.
void FinishCutOffRun(const std::string& journal_path, const std::string& journal_folder,
                     FileSystem& fs, ResultSink& sink, WalkControl& control, bool dry_run);

}  // namespace karuneo::journal
