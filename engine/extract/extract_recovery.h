#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace karuneo {
class ResultSink;
}  // namespace karuneo

namespace karuneo::extract {

// Each extraction that was cut off (its journal never closed, and held by
// no running process) gets one row: cut off part-way, its temporary folder
// is removed whole, found by its identity, so that nothing partly extracted
// stays; cut off once whole, after its folder was given its name, it is
// closed as finished. With `dry_run`, nothing is removed or written.
void RecoverCutOffExtractions(const std::string& journal_folder, ResultSink& sink, bool dry_run);

// The same one by one, for a caller that queues each as a job of its own.
struct CutOffExtraction {
    std::string journal;
    std::string archive;
};
std::vector<CutOffExtraction> CutOffExtractions(const std::string& journal_folder);
void RecoverCutOffExtraction(const std::string& journal_path, ResultSink& sink, bool dry_run);

// What is kept of each extraction, for a list of them.
enum class ExtractionShown { kExtracted, kCutOff, kUndone, kRemoved, kRunning, kDamaged };
struct KeptExtraction {
    std::string journal;
    std::string archive;  // empty when the journal cannot be read
    std::string made;     // the folder it made, once named
    long long sequence = 0;
    ExtractionShown state = ExtractionShown::kExtracted;
    std::int64_t written = 0;  // JournalWrittenAt
    // What UndoExtraction is given to undo it, empty when it would refuse it
    // by its journal alone: the archive, for its newest extraction, finished
    // and not undone; once the archive is gone (users often delete it after
    // extracting), the folder it made, while no later extraction made one of
    // that name. Whether the folder is still as extracted, only the undo
    // asks the disk.
    std::string undo_by;
};
// Every extraction's journal, oldest first.
std::vector<KeptExtraction> KeptExtractions(const std::string& journal_folder);

// Undoes the last extraction into the folder at `path`, or the newest of
// the archive at `path`, when there is one: the folder is removed with
// everything in it, but only when every entry is as the extraction left it
// and nothing was added; otherwise nothing is removed and the row names the
// first entry that changed. For an archive with no extraction left to undo
// the row says so. False, and no row, when `path` is no archive and no
// extraction made that folder.
bool UndoExtraction(const std::string& journal_folder, const std::string& path, ResultSink& sink,
                    bool dry_run);

}  // namespace karuneo::extract
