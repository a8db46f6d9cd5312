#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/error_number.h"
#include "engine/reason/cause.h"

namespace karuneo {

// Why a row reads as it does, in terms a user can check on disk. Entries are
// named by their path below the dropped folder, as they are named now: a
// chain given its own name back is named by that name. The texts are made
// from these by each front end (results/rules/reason_text.h).

// What the walk asked of the file system when it failed.
enum class Attempt { kOpen, kList, kRename, kMove, kRemove };

// Where the chain below the dropped folder stands once the row is given.
enum class ChainPlace {
    kUntouched,      // never renamed: nothing was changed
    kOwnName,        // renamed for the walk, and given its own name back
    kTemporaryName,  // its own name could not be given back
    kGone,           // everything moved up and the chain removed
    kPutBack,        // a stopped run was undone: all is as it was before it
};

struct ErrorReason {
    Attempt attempt = Attempt::kList;
    std::string entry;  // "" is the dropped folder itself
    Cause cause = Cause::kSystem;
    ErrorNumber number = kNoError;  // for kSystem when the system gave no code
    int system_code = 0;            // for kSystem
    ChainPlace chain = ChainPlace::kUntouched;
    std::string chain_name;  // the chain's top as it is named now
    std::string name;        // the entry's own name whole, when known
};

enum class NotNested { kEmpty, kEntries, kSingleFile, kSingleLink, kSingleMountPoint };

struct UntouchedReason {
    NotNested why = NotNested::kEmpty;
    long long entries = 0;  // the visible entries, for kEntries
    // Their names, sorted, when there are at most kNamedEntries: a user
    // then sees at once the stray entry that kept the folder as it was.
    std::vector<std::string> names;
};

inline constexpr long long kNamedEntries = 3;

// A "完了" whose chain folder stayed: it holds entries the listing hid.
struct KeptChainReason {
    std::string folder;  // the topmost chain folder that stayed, below the dropped folder
    ChainPlace chain = ChainPlace::kOwnName;
    std::string own_name;  // the chain's own name, when it stays under a temporary one
};

struct RowReasonBox;

// What the journal of runs has to say about a row.
enum class JournalEvent {
    kNotJournaled,  // the run went ahead, but its journal could not be written
    kFinished,      // a run that was cut off was finished
    kNotFinished,   // it was not: nothing was touched, and its journal waits
    kUndone,        // the last run on the folder was undone
    kNotUndone,     // the undo was refused: nothing was changed
    kUndoStopped,   // the undo failed or was stopped part-way
    kUndoFinished,  // an undo (or a put-back) that was cut off was finished
    kLeftStopped,   // an earlier session stopped the run part-way and left it so
};

// Why a run could not be finished or undone: the first thing found in the way.
enum class Obstacle {
    kNone,
    kNoRun,              // no run on this folder to undo
    kCutOff,             // its last run was cut off and waits to be finished
    kFolderReplaced,     // the dropped folder is another one now
    kEntryGone,          // an entry the run moved is gone
    kEntryReplaced,      // another entry holds its name now
    kEntryKindChanged,   // it is of another kind now, a link in place of a file
    kNameTaken,          // a name it would go back to is taken
    kEntryInBothPlaces,  // found where it was and where the run put it
    kChainChanged,       // a chain folder is gone or is another one
    kJournalDamaged,     // a whole line of the journal makes no sense
    kJournalInUse,       // another process is working on that run
    kJournalUnwritable,
    kNothingChanged,     // the last run changed nothing: there is nothing to undo
    kAlreadyUndone,      // the last run was undone already
    kFolderGone,         // the folder of a cut-off run is gone
    kJournalUnreadable,  // its journal cannot be read
};

struct JournalReason {
    JournalEvent event = JournalEvent::kNotJournaled;
    Obstacle obstacle = Obstacle::kNone;
    std::string entry;                // what the obstacle concerns, below the dropped folder
    long long others = 0;             // obstacles besides the first
    std::vector<std::string> stayed;  // entries that came after the run and stayed
    long long stayed_count = 0;       // all of them; `stayed` names the first few
    // For kLeftStopped: how many of the planned entries had moved.
    long long moved = 0;
    long long planned = 0;
    // What could not be given back to the chain folders (owner, attributes).
    std::vector<std::string> not_restored;
    // For kNotJournaled why the journal failed (only its cause is told); for
    // kUndoStopped the step that failed.
    std::optional<ErrorReason> failure;
    std::shared_ptr<const RowReasonBox> walk;  // the walk's own reason, when it gave one
};

// What became of an archive given to extract, or what stopped it. Every
// refusal leaves nothing of the extraction behind unless it says so.
enum class ExtractProblem {
    kNone,           // extracted into `folder`, un-nested as `walk` tells
    kNotAnArchive,   // its name ends in no extension of an archive
    kUnsupported,    // this build of the program cannot extract
    kUnreadable,     // the archive cannot be read: `detail` says why
    kAbsoluteName,   // an entry named from the top of a disk
    kParentName,     // an entry whose name climbs with ".."
    kDriveName,      // an entry named with a drive letter ("C:")
    kDeviceName,     // an entry named as a Windows device (CON, NUL, COM1...)
    kEmptyPart,      // an entry whose name holds an empty or "." part
    kBackslashName,  // an entry whose name holds a backslash
    kLongName,       // a name too long for any file system
    kLinkOutside,    // a symbolic link whose target leads out of the new folder
    kHardLink,       // a hard link to outside, or to an entry not extracted before it
    kSpecialFile,    // a device, a FIFO or a socket
    kLinkNotMade,    // a symbolic link, on a system where none is made
    kDuplicate,      // a second entry of a name already extracted
    kEncrypted,      // an encrypted entry: not supported
    kTooBig,         // it would expand beyond the bound on total size
    kRatio,          // it would expand beyond the bound on its ratio to the archive
    kNoSpace,        // it would expand beyond the disk's free space
    kWrite,          // writing an entry failed: `system_code`
    kNoFreeName,     // no free name beside the archive for the new folder
    kUnnestFailed,   // the un-nesting of the new folder failed: `walk` tells
    kWorkStopped,    // the work was stopped
    kLeftBehind,     // refused, and what it had made could not all be removed
    kCutOffRemoved,  // an extraction cut off part-way was removed
    kCutOffNamed,    // an extraction cut off once whole was given its name
    kCutOffKept,     // an extraction cut off part-way could not all be removed
    kUndone,         // an extraction was undone: its folder removed
    kNotUndone,      // an undo was refused: `entry` changed since; nothing was removed
    kExtractionOff,  // a dropped archive, left as it is: the window extracts none
    kNothingToUndo,  // no extraction of this archive is left to undo
};

struct ExtractReason {
    ExtractProblem problem = ExtractProblem::kNone;
    std::string folder;  // the new folder beside the archive, when there is one
    std::string entry;   // the entry of the archive concerned
    std::string detail;  // libarchive's own words, or a bound
    int system_code = 0;
    std::shared_ptr<const RowReasonBox> walk;  // the un-nesting's own reason
};

using RowReason = std::variant<std::monostate, ErrorReason, UntouchedReason, KeptChainReason,
                               JournalReason, ExtractReason>;

struct RowReasonBox {
    RowReason reason;
};

// The reason for a failure of `attempt`: its cause read from the number and
// the system's code.
ErrorReason ReasonForFailure(Attempt attempt, const Failure& failure);

}  // namespace karuneo
