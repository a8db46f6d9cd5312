#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "engine/unnest.h"

namespace karuneo {
struct FlattenPlan;
class EntryPath;

// Carries out a plan: the top takes a temporary name, every planned entry
// moves up, then the emptied chain goes, each step told to walk.recorder as
// it is taken. `sDeleteFolda` is the top's name while the run holds it, empty
// once the chain is gone; given, it is the first name tried. Stops between
// two entries when asked.
WalkOutcome RunFlatten(WalkContext& walk, const FlattenPlan& plan, std::string& sDeleteFolda);

// The rest of a run that was cut off: `still_deepest` are the planned
// entries still in the deepest folder, `levels_left` the chain folders still
// there from the top down (0: all gone), the top named `sDeleteFolda`.
WalkOutcome FinishFlatten(WalkContext& walk, const FlattenPlan& plan,
                          std::span<const std::string> still_deepest, std::size_t levels_left,
                          std::string& sDeleteFolda);

// Once the row is given: what the run changed is put on the disk, and then
// its record is closed. A folder that cannot be synced leaves the record
// open, for a later look to judge by the disk.
void CloseRun(WalkContext& walk, const EntryPath& root);

}  // namespace karuneo
