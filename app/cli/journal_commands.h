#pragma once

#include <functional>
#include <ostream>
#include <span>
#include <string>

#include "engine/file_system.h"
#include "engine/result_sink.h"

namespace karuneo::cli {

// What --undo and --recover work with: the journal folder, the layer (a
// dry-run one with --dry-run, which writes no journal) and the lines' sink.
struct JournalCommand {
    std::string journal_folder;
    FileSystem& fs;
    ResultSink& sink;
    bool dry_run = false;
};

void RecoverCutOffRuns(const JournalCommand& command);
// Stops before the next folder once `lost` says the report cannot be written.
void UndoLastRuns(const JournalCommand& command, std::span<const std::string> folders,
                  const std::function<bool()>& lost);

// A plain run finishes no other folder's run on its own, but says that one waits.
void WarnOfCutOffRuns(const std::string& journal_folder, std::ostream& err);

}  // namespace karuneo::cli
