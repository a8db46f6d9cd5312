#include "window/worker/folder_work.h"

#include <functional>
#include <utility>
#include <variant>
// iwyu 8.18 takes std::move's result type for a use of <type_traits>.
// IWYU pragma: no_include <type_traits>

#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/journaled_walk.h"
#include "engine/journal/left_stopped.h"
#include "engine/journal/recovery.h"
#include "engine/journal/undo.h"
#include "engine/reason/row_reason.h"
#include "engine/row_status.h"
#include "results/rules/finished_row.h"
#include "window/rules/run_history.h"

namespace karuneo {
class FileSystem;
class ResultSink;
class WalkControl;

FolderWork JournaledUnnest(std::string journal_folder) {
    return [journal_folder = std::move(journal_folder)](const std::string& path, FileSystem& fs,
                                                        ResultSink& sink, WalkControl& control) {
        journal::ProcessJournaled(path, fs, sink, control, journal_folder);
    };
}

FolderWork UndoLastRunWork(std::string journal_folder) {
    return [journal_folder = std::move(journal_folder)](const std::string& path, FileSystem& fs,
                                                        ResultSink& sink, WalkControl& control) {
        journal::UndoLastRun(path, fs, sink, control, journal_folder);
    };
}

std::vector<QueuedJob> CutOffRuns(const std::string& journal_folder) {
    std::vector<QueuedJob> runs;
    for (auto& journal_path : journal::CutOffJournals(journal_folder)) {
        // A journal too damaged to name its folder is still offered: the
        // attempt gives the row that says what is wrong with it.
        const auto text = journal::ReadJournalHead(journal_path, journal::kJournalHeadBytes);
        const auto run = journal::ParseJournal(text.value());
        std::string folder = run.value().root.empty() ? journal_path : run.value().root;
        runs.push_back({std::move(folder),
                        [journal_path, journal_folder](const std::string&, FileSystem& fs,
                                                       ResultSink& sink, WalkControl& control) {
                            journal::FinishCutOffRun(journal_path, journal_folder, fs, sink,
                                                     control, false);
                        },
                        JobKind::kFinish});
    }
    return runs;
}

std::optional<QueuedJob> JobForChoice(const HistoryChoice& choice,
                                      const std::string& journal_folder) {
    switch (choice.action) {
        case HistoryAction::kUndo:
            return QueuedJob{choice.folder, UndoLastRunWork(journal_folder), JobKind::kUndo};
        case HistoryAction::kFinish:
            return QueuedJob{
                choice.folder,
                [journal_path = choice.journal, journal_folder](
                    const std::string&, FileSystem& fs, ResultSink& sink, WalkControl& control) {
                    journal::FinishCutOffRun(journal_path, journal_folder, fs, sink, control,
                                             false);
                },
                JobKind::kFinish};
        case HistoryAction::kForget:
            break;
    }
    return std::nullopt;
}

LeftOver LeftByEarlierSessions(const std::string& journal_folder, FileSystem& fs) {
    LeftOver left{CutOffRuns(journal_folder), {}};
    for (auto& stopped : journal::RunsLeftStopped(journal_folder, fs)) {
        JournalReason reason;
        reason.event = JournalEvent::kLeftStopped;
        reason.moved = stopped.moved;
        reason.planned = stopped.planned;
        std::string name = EntryPath(stopped.folder).LastName();
        left.notices.push_back(FinishedRow{std::move(stopped.folder), std::move(name),
                                           RowStatus::kError, reason, RowWork::kRun});
    }
    return left;
}

SessionWork JournaledSessionWork(const std::string& journal_folder) {
    return {JournaledUnnest(journal_folder), UndoLastRunWork(journal_folder),
            [journal_folder](FileSystem& fs) { return LeftByEarlierSessions(journal_folder, fs); }};
}

}  // namespace karuneo
