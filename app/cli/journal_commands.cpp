#include "app/cli/journal_commands.h"

#include "engine/display_text.h"
#include "engine/extract/extract_recovery.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/journal_runs.h"
#include "engine/journal/recovery.h"
#include "engine/journal/undo.h"
#include "engine/native_file_system.h"
#include "results/rules/escaped_text.h"
#include "results/rules/local_time.h"

namespace karuneo::cli {
namespace {

std::string Shown(const std::string& folder) {
    return EscapeControls(ToDisplayText(folder));
}

std::string_view StateWord(journal::RunStateShown state) {
    switch (state) {
        case journal::RunStateShown::kFinished:
            return "finished";
        case journal::RunStateShown::kCutOff:
            return "cut off";
        case journal::RunStateShown::kUndone:
            return "undone";
        case journal::RunStateShown::kUndo:
            return "undo";
        case journal::RunStateShown::kForgotten:
            return "forgotten";
        case journal::RunStateShown::kDamaged:
            return "damaged";
        case journal::RunStateShown::kRunning:
            return "running";
    }
    return "?";
}

std::string_view StateWord(extract::ExtractionShown state) {
    switch (state) {
        case extract::ExtractionShown::kExtracted:
            return "extracted";
        case extract::ExtractionShown::kCutOff:
            return "extraction cut off";
        case extract::ExtractionShown::kUndone:
            return "extraction undone";
        case extract::ExtractionShown::kRemoved:
            return "extraction refused";
        case extract::ExtractionShown::kRunning:
            return "extracting";
        case extract::ExtractionShown::kDamaged:
            return "damaged";
    }
    return "?";
}

}  // namespace

void RecoverCutOffRuns(const JournalCommand& command) {
    journal::FinishCutOffRuns(command.journal_folder, command.fs, command.sink, command.control,
                              command.dry_run);
    extract::RecoverCutOffExtractions(command.journal_folder, command.sink, command.dry_run);
}

std::size_t UndoLastRuns(const JournalCommand& command, std::span<const std::string> folders,
                         const std::function<bool()>& lost) {
    for (std::size_t done = 0; done < folders.size(); ++done) {
        if (lost() || command.control.StopRequested()) {
            return folders.size() - done;
        }
        // A folder an extraction made is undone by removing it; any other
        // by the undo of its last un-nesting.
        if (!extract::UndoExtraction(command.journal_folder, folders[done], command.sink,
                                     command.dry_run)) {
            journal::UndoLastRun(folders[done], command.fs, command.sink, command.control,
                                 command.journal_folder, !command.dry_run);
        }
    }
    return 0;
}

void WarnOfCutOffRuns(const std::string& journal_folder, std::ostream& err) {
    const auto fs = MakeNativeFileSystem();
    for (const auto& path : journal::CutOffJournals(journal_folder)) {
        const auto text = journal::ReadJournalHead(path, journal::kJournalHeadBytes);
        const auto run = journal::ParseJournal(text.value());
        const std::string folder = run.value().root.empty() ? path : run.value().root;
        if (run.value().root.empty() || journal::FolderOfRunExists(*fs, run.value())) {
            err << "karuneo-cli: a run on " << Shown(folder)
                << " was cut off and waits; karuneo-cli --recover finishes it\n";
        } else if (journal::TellGoneOnce(*fs, path, run.value())) {
            err << "karuneo-cli: a run on " << Shown(folder)
                << " was cut off, and the folder is gone; karuneo-cli --history lists it, "
                   "karuneo-cli --forget FOLDER retires it\n";
        }
    }
}

void PrintHistory(const std::string& journal_folder, std::ostream& out) {
    for (const auto& run : journal::KeptRuns(journal_folder)) {
        out << run.sequence << '\t' << StateWord(run.state) << '\t' << LocalTimeText(run.written)
            << '\t' << Shown(run.folder.empty() ? journal::FileName(run.journal) : run.folder)
            << '\n';
    }
    // Numbered apart from the runs: an extraction is undone by its archive.
    for (const auto& extraction : extract::KeptExtractions(journal_folder)) {
        out << extraction.sequence << '\t' << StateWord(extraction.state) << '\t'
            << LocalTimeText(extraction.written) << '\t'
            << Shown(extraction.archive.empty() ? journal::FileName(extraction.journal)
                                                : extraction.archive)
            << '\n';
    }
}

bool ForgetRuns(const std::string& journal_folder, std::span<const std::string> folders,
                bool dry_run, std::ostream& err) {
    bool all = true;
    for (const auto& folder : folders) {
        const std::string absolute = journal::AbsolutePath(folder);
        const int forgotten = journal::ForgetCutOffRuns(journal_folder, absolute, dry_run);
        err << "karuneo-cli: " << Shown(folder) << ": " << (dry_run ? "would forget " : "forgot ")
            << forgotten << " cut-off run" << (forgotten == 1 ? "" : "s") << '\n';
        all = all && forgotten > 0;
    }
    return all;
}

}  // namespace karuneo::cli
