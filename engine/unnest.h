#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "engine/error_number.h"
#include "engine/reason/row_reason.h"
#include "engine/row_status.h"
// The default arguments below call UninterruptedWalk().
#include "engine/walk_control.h"  // IWYU pragma: keep

namespace karuneo {
class EntryPath;
class FileSystem;
class ResultSink;

// The top of the chain, once the walk has given it a temporary name: a row
// must say where the chain stands, so its own name is given back (or tried)
// before the row is given, once per walk.
struct ChainTop {
    std::string own_name;  // empty until the walk renames the top
    bool settled = false;
    ChainPlace place = ChainPlace::kUntouched;
};

// The file system and the sink that one walk works with, and what its rows
// need to tell why they read as they do.
struct WalkContext {
    WalkContext(FileSystem& file_system, ResultSink& result_sink,
                WalkControl& walk_control = UninterruptedWalk())
        : fs(file_system), sink(result_sink), control(walk_control) {}

    FileSystem& fs;
    ResultSink& sink;
    WalkControl& control;
    // The dropped folder's name as its rows show it, asked once per walk.
    std::string displayName;
    Attempt attempt = Attempt::kOpen;  // what the walk last asked of `fs`
    ChainTop top;
    // The chain folder that stayed because it still holds entries (those
    // above it stay too), below the dropped folder; empty when none did.
    std::string kept;
};

// Un-nests one dropped folder and reports its outcome to `sink`: nothing for
// a path that is not an existing folder, otherwise one row. Never throws.
// Asked to stop, it stops between two entries and the row reads "エラー",
// the chain given its own name back as after any failed move.
void ProcessDroppedPath(const std::string& path, FileSystem& fs, ResultSink& sink,
                        WalkControl& control = UninterruptedWalk());

// How a walk ends when nothing failed: the row's status, and for "未処理"
// why. A "完了" learns whether a chain folder stayed once the chain's name
// is settled, as the row is given.
struct Completed {
    RowStatus status;
    RowReason reason;
};

// What a walk, or one level of it, ends with: the row it completed, or the
// failure its row must tell. The walk gives no row of its own; its caller
// gives the one row (walk_report.h).
using WalkOutcome = Result<Completed>;

// One level of the walk. `sCur` is the folder examined at this level,
// `sParentPath` the dropped folder; `iNestLevel` and `sDeleteFolda` (the
// temporary name of the dropped folder's single subfolder, empty once the
// chain is gone) are shared by all levels of one walk.
WalkOutcome UnnestFolder(WalkContext& walk, const EntryPath& sCur, int& iNestLevel,
                         const EntryPath& sParentPath, std::string& sDeleteFolda);

// The rest of a walk that was cut off, from `lowest` on, the lowest chain
// folder still there: when it is the deepest folder, what is left in it moves
// up first; then the emptied chain goes and the row is given, as the walk
// would have. With no chain folder left only the row is given.
void FinishCutOffWalk(WalkContext& walk, const std::optional<EntryPath>& lowest,
                      bool lowest_is_deepest, const EntryPath& sParentPath,
                      std::string& sDeleteFolda);

// The folder's own name; kPathNotFound when it is not an existing folder.
Result<std::string> GetFolderName(FileSystem& fs, const EntryPath& path);

// The name without its last extension: "a.b.tmp" gives "a.b".
std::string GetBaseName(std::string_view file_name);

}  // namespace karuneo
