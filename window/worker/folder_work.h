#pragma once

#include <optional>
#include <string>
#include <vector>

#include "window/worker/work_queue.h"
#include "window/worker/work_session.h"

namespace karuneo {
class FileSystem;
struct HistoryChoice;

// What the windows do with a folder, each kept in the run journals of
// `journal_folder` (the user's own by default), so that a run can be undone
// and one that was cut off finished.

// What becomes of a dropped archive: the window extracts archives only when
// the user has asked for it.
enum class DroppedArchives { kLeft, kExtracted };

// Un-nests a dropped folder; one the user stops part-way is put back as it
// was. A dropped archive is extracted, or gets a row that says how to have
// it extracted; any other file is passed over without a row.
FolderWork JournaledDrop(std::string journal_folder, DroppedArchives archives);

// 元に戻す: undoes the last run on the folder, or the last extraction of
// the archive.
FolderWork UndoLastRunWork(std::string journal_folder);

// The runs a crash, a kill or a power cut left half done, each as the job
// that finishes it, named by its folder.
std::vector<QueuedJob> CutOffRuns(const std::string& journal_folder);
// The extractions a crash cut off, each as the job that removes what it
// left (or names it, when whole), named by its archive.
std::vector<QueuedJob> CutOffExtractionJobs(const std::string& journal_folder);

// What a choice in 履歴 asks of the work: to undo a run, or to finish one a
// crash cut off; nothing for one the dialog saw to itself.
std::optional<QueuedJob> JobForChoice(const HistoryChoice& choice,
                                      const std::string& journal_folder);

// What a window finds at start: the cut-off runs, and a row for each folder
// an earlier session stopped part-way and left so.
LeftOver LeftByEarlierSessions(const std::string& journal_folder, FileSystem& fs);

}  // namespace karuneo
