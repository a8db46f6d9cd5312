#include "window/worker/folder_work.h"

#include <functional>
#include <utility>
#include <variant>
// iwyu 8.18 takes std::move's result type for a use of <type_traits>.
// IWYU pragma: no_include <type_traits>

#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/extract/archive_name.h"
#include "engine/extract/extract_recovery.h"
#include "engine/extract/extract_run.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/journaled_walk.h"
#include "engine/journal/left_stopped.h"
#include "engine/journal/recovery.h"
#include "engine/journal/undo.h"
#include "engine/reason/row_reason.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"
#include "results/rules/finished_row.h"
#include "window/rules/run_history.h"

namespace karuneo {
class FileSystem;
class WalkControl;

namespace {

void LeaveArchive(const std::string& path, ResultSink& sink) {
    sink.AddResultOfKind(EntryPath(path).LastName(), RowStatus::kUntouched,
                         ExtractReason{ExtractProblem::kExtractionOff, {}, {}, {}, 0, {}},
                         RowKind::kArchive);
}

// The undo of an extraction 履歴 lists, by its archive or, once that is
// gone, by the folder it made: never handed on to the undo of a run, which
// would take the archive for a folder and the folder for a run's.
FolderWork UndoExtractionWork(std::string journal_folder) {
    return [journal_folder = std::move(journal_folder)](const std::string& path, FileSystem&,
                                                        ResultSink& sink, WalkControl&) {
        // What 履歴 listed is gone, or no longer what it was: no extraction
        // is found by it then, and nothing is removed.
        if (!extract::UndoExtraction(journal_folder, path, sink, false)) {
            sink.AddResultOfKind(EntryPath(path).LastName(), RowStatus::kError,
                                 ExtractReason{ExtractProblem::kNothingToUndo, {}, {}, {}, 0, {}},
                                 RowKind::kArchive);
        }
    };
}

// Removes what a cut-off extraction left, or names it when whole.
FolderWork FinishExtractionWork(std::string journal_path) {
    return [journal_path = std::move(journal_path)](const std::string&, FileSystem&,
                                                    ResultSink& sink, WalkControl&) {
        extract::RecoverCutOffExtraction(journal_path, sink, false);
    };
}

}  // namespace

FolderWork JournaledDrop(std::string journal_folder, DroppedArchives archives) {
    return [journal_folder = std::move(journal_folder), archives](
               const std::string& path, FileSystem& fs, ResultSink& sink, WalkControl& control) {
        if (!extract::IsArchiveFile(path)) {
            journal::ProcessJournaled(path, fs, sink, control, journal_folder);
        } else if (archives == DroppedArchives::kExtracted) {
            extract::ExtractOptions options;
            options.journal_folder = journal_folder;
            extract::ExtractArchive(path, fs, sink, options, control);
        } else {
            LeaveArchive(path, sink);
        }
    };
}

FolderWork UndoLastRunWork(std::string journal_folder) {
    return [journal_folder = std::move(journal_folder)](const std::string& path, FileSystem& fs,
                                                        ResultSink& sink, WalkControl& control) {
        // A row of an archive undoes its extraction; a folder's, its run,
        // even where an extraction made the folder: the row was the run's.
        if (!extract::IsArchiveFile(path) ||
            !extract::UndoExtraction(journal_folder, path, sink, false)) {
            journal::UndoLastRun(path, fs, sink, control, journal_folder);
        }
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

std::vector<QueuedJob> CutOffExtractionJobs(const std::string& journal_folder) {
    std::vector<QueuedJob> jobs;
    for (auto& cut_off : extract::CutOffExtractions(journal_folder)) {
        jobs.push_back({std::move(cut_off.archive),
                        FinishExtractionWork(std::move(cut_off.journal)), JobKind::kFinish});
    }
    return jobs;
}

std::optional<QueuedJob> JobForChoice(const HistoryChoice& choice,
                                      const std::string& journal_folder) {
    const bool extraction = choice.kind == RowKind::kArchive;
    switch (choice.action) {
        case HistoryAction::kUndo:
            return QueuedJob{
                choice.folder,
                extraction ? UndoExtractionWork(journal_folder) : UndoLastRunWork(journal_folder),
                JobKind::kUndo};
        case HistoryAction::kFinish:
            if (extraction) {
                return QueuedJob{choice.folder, FinishExtractionWork(choice.journal),
                                 JobKind::kFinish};
            }
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
    for (auto& extraction : CutOffExtractionJobs(journal_folder)) {
        left.finish.push_back(std::move(extraction));
    }
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
    return {JournaledDrop(journal_folder, DroppedArchives::kLeft), UndoLastRunWork(journal_folder),
            [journal_folder](FileSystem& fs) { return LeftByEarlierSessions(journal_folder, fs); },
            JournaledDrop(journal_folder, DroppedArchives::kExtracted)};
}

}  // namespace karuneo
