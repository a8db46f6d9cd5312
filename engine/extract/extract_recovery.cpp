#include "engine/extract/extract_recovery.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string_view>
#include <type_traits>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/error_number.h"
#include "engine/extract/archive_name.h"
#include "engine/extract/extract_journal.h"
#include "engine/extract/extracted_tree.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/recovery.h"
#include "engine/path_separator.h"
#include "engine/reason/row_reason.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"

namespace karuneo::extract {
namespace {

std::string LastName(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// "/a/./b" and "/a/b/" name one folder; only the text is looked at.
std::string Normal(const std::string& path) {
    // From and to UTF-8: a plain string would go through Windows' ANSI
    // code page, which cannot spell most names.
    const auto text = std::filesystem::path(std::u8string(path.begin(), path.end()))
                          .lexically_normal()
                          .u8string();
    std::string normal(text.begin(), text.end());
    while (normal.size() > 1 && (normal.ends_with('/') || normal.ends_with('\\'))) {
        normal.pop_back();
    }
    return normal;
}

// A row of the archive, but for an undo asked for by the folder the
// extraction made.
void Give(ResultSink& sink, const std::string& name, const ExtractJournal& run, RowStatus status,
          ExtractProblem problem, std::string entry = {}, RowKind kind = RowKind::kArchive) {
    sink.AddResultOfKind(name, status,
                         ExtractReason{problem, run.named, std::move(entry),
                                       PathIn(run.parent, run.temp), 0, nullptr},
                         kind);
}

// Where a cut-off extraction stands: whole under its own name, or a
// temporary folder (or none) to remove.
void Recover(const ExtractJournal& run, journal::JournalFile* file, ResultSink& sink) {
    const std::string now = run.made ? NameWithIdentity(run.parent, run.top) : std::string();
    if (!now.empty() && now != run.temp) {
        if (file != nullptr) {
            (void)file->Append(NamedLine(now) + std::string(journal::kCloseLine));
            (void)file->Sync();
        }
        ExtractJournal named = run;
        named.named = now;
        Give(sink, LastName(run.archive), named, RowStatus::kDone, ExtractProblem::kCutOffNamed);
        return;
    }
    bool removed = true;
    if (file != nullptr && !now.empty()) {
        removed = RemoveWholeTree(run.parent, run.temp, run.top);
    } else if (file != nullptr && !run.made) {
        // Made in the instant before its identity was recorded, nothing can
        // have been written in it yet: an empty folder goes, anything else stays.
        removed = !IdentityOfPath(PathIn(run.parent, run.temp)).ok() ||
                  RemoveEmptyFolderAt(PathIn(run.parent, run.temp));
    }
    if (!removed) {
        Give(sink, LastName(run.archive), run, RowStatus::kError, ExtractProblem::kCutOffKept);
        return;
    }
    if (file != nullptr) {
        (void)file->Append(std::string(journal::kCloseLine));
        (void)file->Sync();
    }
    Give(sink, LastName(run.archive), run, RowStatus::kDone, ExtractProblem::kCutOffRemoved);
}

// Removes the folder the extraction of `run` made, held by its journal, when
// nothing in it changed since.
void UndoOne(const std::string& journal_path, const ExtractJournal& run, const std::string& name,
             RowKind kind, ResultSink& sink, bool dry_run) {
    const std::string made = PathIn(run.parent, run.named);
    // Held while the folder goes, so that no other undo races this one.
    auto opened = journal::JournalFile::OpenExisting(journal_path);
    if (!dry_run && !opened.ok()) {
        Give(sink, name, run, RowStatus::kError, ExtractProblem::kNotUndone, run.named, kind);
        return;
    }
    const auto removal = RemoveRecordedTree(made, run.top, run.entries, dry_run);
    if (!removal.as_recorded) {
        Give(sink, name, run, RowStatus::kError, ExtractProblem::kNotUndone,
             removal.first_difference.empty() ? run.named : removal.first_difference, kind);
        return;
    }
    if (!dry_run && removal.removed) {
        (void)opened.value()->Append(std::string(journal::kUndoneLine));
        (void)opened.value()->Sync();
    }
    Give(sink, name, run, dry_run || removal.removed ? RowStatus::kDone : RowStatus::kError,
         dry_run || removal.removed ? ExtractProblem::kUndone : ExtractProblem::kCutOffKept, {},
         kind);
}

}  // namespace

std::vector<CutOffExtraction> CutOffExtractions(const std::string& journal_folder) {
    const std::string folder = ExtractJournalFolder(journal_folder);
    std::vector<CutOffExtraction> cut_off;
    if (folder.empty()) {
        return cut_off;
    }
    for (auto& path : journal::CutOffJournals(folder)) {
        const auto text = journal::ReadJournal(path);
        const auto run = text.ok() ? ParseExtractJournal(text.value()) : text.error();
        if (run.ok()) {
            cut_off.push_back({std::move(path), run.value().archive});
        }
    }
    return cut_off;
}

void RecoverCutOffExtraction(const std::string& journal_path, ResultSink& sink, bool dry_run) {
    std::unique_ptr<journal::JournalFile> file;
    if (!dry_run) {
        auto opened = journal::JournalFile::OpenExisting(journal_path);
        if (!opened.ok()) {
            return;  // another process has it
        }
        file = std::move(opened).value();
    }
    const auto text = journal::ReadJournal(journal_path);
    if (!text.ok()) {
        return;  // never acted on; it stays for a look
    }
    const auto run = ParseExtractJournal(text.value());
    if (run.ok()) {
        Recover(run.value(), file.get(), sink);
    }
}

void RecoverCutOffExtractions(const std::string& journal_folder, ResultSink& sink, bool dry_run) {
    const std::string folder = ExtractJournalFolder(journal_folder);
    if (folder.empty()) {
        return;
    }
    for (const auto& path : journal::CutOffJournals(folder)) {
        RecoverCutOffExtraction(path, sink, dry_run);
    }
}

namespace {

ExtractionShown StateOf(const ExtractJournal& run, bool cut_off) {
    if (run.undone) {
        return ExtractionShown::kUndone;
    }
    if (run.closed) {
        return run.named.empty() ? ExtractionShown::kRemoved : ExtractionShown::kExtracted;
    }
    return cut_off ? ExtractionShown::kCutOff : ExtractionShown::kRunning;
}

}  // namespace

std::vector<KeptExtraction> KeptExtractions(const std::string& journal_folder) {
    const std::string folder = ExtractJournalFolder(journal_folder);
    std::vector<KeptExtraction> kept;
    if (folder.empty()) {
        return kept;
    }
    const auto cut_off = journal::CutOffJournals(folder);
    for (const auto& path : journal::ListJournals(folder)) {
        KeptExtraction shown;
        shown.journal = path;
        shown.sequence = static_cast<long long>(journal::JournalSequence(path));
        shown.written = journal::JournalWrittenAt(path);
        const auto text = journal::ReadJournal(path);
        const auto run = text.ok() ? ParseExtractJournal(text.value()) : text.error();
        if (run.ok()) {
            shown.archive = run.value().archive;
            shown.made = run.value().named.empty() ? std::string()
                                                   : PathIn(run.value().parent, run.value().named);
            shown.state = StateOf(run.value(),
                                  std::find(cut_off.begin(), cut_off.end(), path) != cut_off.end());
        } else {
            shown.state = ExtractionShown::kDamaged;
        }
        kept.push_back(std::move(shown));
    }
    // As UndoExtraction looks: newest first, past journals it cannot read.
    std::unordered_set<std::string> archives;
    std::unordered_set<std::string> folders;
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
        const bool newest_of_archive =
            !it->archive.empty() && archives.insert(Normal(it->archive)).second;
        const bool newest_of_folder = !it->made.empty() && folders.insert(Normal(it->made)).second;
        if (it->state != ExtractionShown::kExtracted) {
            continue;
        }
        if (IsArchiveFile(it->archive)) {
            it->undo_by = newest_of_archive ? it->archive : std::string();
        } else if (newest_of_folder) {
            it->undo_by = it->made;
        }
    }
    return kept;
}

bool UndoExtraction(const std::string& journal_folder, const std::string& path, ResultSink& sink,
                    bool dry_run) {
    const std::string folder = ExtractJournalFolder(journal_folder);
    // Compared normalised, but reached as given: on Windows the normal form
    // of "\\?\C:\x" is no path.
    const std::string absolute = journal::AbsolutePath(path);
    const std::string normal = Normal(absolute);
    const bool archive = IsArchiveFile(absolute);
    const auto journals =
        folder.empty() ? std::vector<std::string>() : journal::ListJournals(folder);
    for (auto it = journals.rbegin(); it != journals.rend(); ++it) {
        const auto text = journal::ReadJournal(*it);
        const auto run = text.ok() ? ParseExtractJournal(text.value()) : text.error();
        if (!run.ok()) {
            continue;
        }
        if (archive && Normal(run.value().archive) == normal) {
            // Only its newest extraction is undone: an older one's folder
            // may hold what the user kept after undoing a newer one.
            if (run.value().named.empty() || run.value().undone) {
                break;
            }
            UndoOne(*it, run.value(), LastName(absolute), RowKind::kArchive, sink, dry_run);
            return true;
        }
        if (!archive && !run.value().named.empty() &&
            Normal(PathIn(run.value().parent, run.value().named)) == normal) {
            if (run.value().undone) {
                return false;  // its folder is gone; another run made what is there now
            }
            UndoOne(*it, run.value(), LastName(absolute), RowKind::kFolder, sink, dry_run);
            return true;
        }
    }
    if (archive) {
        Give(sink, LastName(absolute), ExtractJournal{}, RowStatus::kError,
             ExtractProblem::kNothingToUndo);
    }
    return archive;
}

}  // namespace karuneo::extract
