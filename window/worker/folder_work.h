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

// Un-nests a dropped folder; one the user stops part-way is put back as it
// was.
FolderWork JournaledUnnest(std::string journal_folder);

// 元に戻す: undoes the last run on the folder.
FolderWork UndoLastRunWork(std::string journal_folder);

// The runs a crash, a kill or a power cut left half done, each as the job
// that finishes it, named by its folder.
std::vector<QueuedJob> CutOffRuns(const std::string& journal_folder);

// What a choice in 履歴 asks of the work: to undo a run, or to finish one a
// crash cut off; nothing for one the dialog saw to itself.
std::optional<QueuedJob> JobForChoice(const HistoryChoice& choice,
                                      const std::string& journal_folder);

// What a window finds at start: the cut-off runs, and a row for each folder
// an earlier session stopped part-way and left so.
LeftOver LeftByEarlierSessions(const std::string& journal_folder, FileSystem& fs);

}  // namespace karuneo
