#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <span>
#include <string>

#include "engine/file_system.h"
#include "engine/result_sink.h"
#include "engine/walk_control.h"

namespace karuneo::cli {

// What --undo and --recover work with: the journal folder, the layer (a
// dry-run one with --dry-run, which writes no journal) and the lines' sink.
struct JournalCommand {
    std::string journal_folder;
    FileSystem& fs;
    ResultSink& sink;
    WalkControl& control;  // a stop ends the folder in hand between two entries
    bool dry_run = false;
};

void RecoverCutOffRuns(const JournalCommand& command);
// Stops before the next folder once `lost` says the report cannot be written
// or a stop was asked for; the folders not started.
std::size_t UndoLastRuns(const JournalCommand& command, std::span<const std::string> folders,
                         const std::function<bool()>& lost);

// A plain run finishes no other folder's run on its own, but says that one
// waits. One whose folder is gone is told of once, with what to do.
void WarnOfCutOffRuns(const std::string& journal_folder, std::ostream& err);

// --history: every run kept, oldest first, one line each:
// NUMBER<TAB>STATE<TAB>TIME<TAB>FOLDER, the time being when its journal
// was last written, local (LocalTimeText).
void PrintHistory(const std::string& journal_folder, std::ostream& out);

// --forget: retires the cut-off runs on each folder without looking at it;
// false when a folder had none.
bool ForgetRuns(const std::string& journal_folder, std::span<const std::string> folders,
                bool dry_run, std::ostream& err);

}  // namespace karuneo::cli
