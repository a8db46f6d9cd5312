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
// The undo is judged by the disk, not by what the run's journal says it did:
// every entry the run planned to move that is found, the same one, in the
// dropped folder goes back; one found in the deepest folder is back already.
// If an entry is gone, in both places, or a name it goes back to is taken,
// nothing is changed and the row says what, and how many more. Otherwise the
// chain comes back (under a temporary name while the entries move, then its
// own), the entries move back with the renames that never replace, and the
// chain folders get their look back. The undo is itself a run with a journal
// of its own: it stops between two entries when asked, and one cut off is
// finished by the next recovery. Entries that came into the dropped folder
// after the run stay, and the row names them. With `record` false (a dry
// run) no journal is written.
void UndoLastRun(const std::string& path, FileSystem& fs, ResultSink& sink, WalkControl& control,
                 const std::string& journal_folder, bool record = true);

// Finishes an undo whose journal `undo_journal` was cut off: the undo of its
// run again, judged by the disk, its row saying so.
void FinishCutOffUndo(const std::string& undo_journal, const std::string& root, FileSystem& fs,
                      ResultSink& sink, WalkControl& control, const std::string& journal_folder,
                      bool dry_run);

}  // namespace karuneo::journal
