#pragma once

#include <string>
#include <vector>

#include "window/worker/work_queue.h"

namespace karuneo {

// What the windows do with a folder, each kept in the run journals of
// `journal_folder` (the user's own by default), so that a run can be undone
// and one that was cut off finished.

// Un-nests a dropped folder; one the user stops part-way is put back as it
// was.
FolderWork JournaledUnnest(std::string journal_folder);

// 元に戻す: undoes the last run on the folder.
FolderWork UndoLastRunWork(std::string journal_folder);

// A run that was cut off (a crash, a kill, a power cut), to be finished
// when the window starts: the folder it worked on and the work that
// finishes it.
struct CutOffRun {
    std::string folder;
    FolderWork finish;
};
std::vector<CutOffRun> CutOffRuns(const std::string& journal_folder);

}  // namespace karuneo
