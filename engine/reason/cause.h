#pragma once

namespace karuneo {

// Why an attempt failed, in terms a user can check on disk.
enum class Cause {
    kAlreadyExists,  // the name is taken; nothing is ever replaced
    kNoPermission,
    kOtherDrive,  // another file system, or a boundary renames do not cross
    kLink,        // links are never followed
    kTooDeep,
    kNameTooLong,
    kNameNotAllowed,     // a name Windows cannot hold, made on another system
    kStoppedByUser,      // the work was stopped between two entries
    kNoMoveWithoutRisk,  // the file system cannot move without risking a replace
    kHeldByAnotherRun,   // another run of this program holds the folder
    kStillInUse,         // another program kept it open through every retry
    kSystem,             // anything else: the system's own message tells
};

}  // namespace karuneo
