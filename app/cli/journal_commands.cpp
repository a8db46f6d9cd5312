#include "app/cli/journal_commands.h"

#include "app/cli/escaped_text.h"
#include "engine/display_text.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/recovery.h"
#include "engine/journal/undo.h"

namespace karuneo::cli {

void RecoverCutOffRuns(const JournalCommand& command) {
    journal::FinishCutOffRuns(command.journal_folder, command.fs, command.sink, UninterruptedWalk(),
                              command.dry_run);
}

void UndoLastRuns(const JournalCommand& command, std::span<const std::string> folders,
                  const std::function<bool()>& lost) {
    for (const auto& folder : folders) {
        journal::UndoLastRun(folder, command.fs, command.sink, UninterruptedWalk(),
                             command.journal_folder, !command.dry_run);
        if (lost()) {
            return;
        }
    }
}

void WarnOfCutOffRuns(const std::string& journal_folder, std::ostream& err) {
    for (const auto& path : journal::CutOffJournals(journal_folder)) {
        const auto text = journal::ReadJournalHead(path, journal::kJournalHeadBytes);
        const auto run = journal::ParseJournal(text.value);
        const std::string folder = run.value.root.empty() ? path : run.value.root;
        err << "karuneo-cli: a run on " << EscapeControls(ToDisplayText(folder))
            << " was cut off and waits; karuneo-cli --recover finishes it\n";
    }
}

}  // namespace karuneo::cli
