#pragma once

#include <string>

namespace karuneo {
class FileSystem;
class ResultSink;
class WalkControl;
}  // namespace karuneo

namespace karuneo::journal {

// Undoes the last run on the dropped folder `path` that the journals in
// `journal_folder` tell of, and gives one row, like a walk (none when the path
// is no folder). Shaped like the windows' FolderWork, with the journal folder
// bound, for their 元に戻す item.
//
// First every entry the run moved is checked: it must still be where the run
// put it, the same one of the same kind, and each name it goes back to must
// be free; the dropped folder must be the same one. If anything is in the
// way, nothing is changed and the row says what, and how many more. Otherwise
// the chain comes back under its own names, the entries move back with the
// same renames that never replace, the chain folders get their permissions
// and times back, and the journal records that the run was undone (unless
// `record` is false: a dry run). Entries that came into the dropped folder
// after the run stay, and the row names them.
void UndoLastRun(const std::string& path, FileSystem& fs, ResultSink& sink, WalkControl& control,
                 const std::string& journal_folder, bool record = true);

}  // namespace karuneo::journal
