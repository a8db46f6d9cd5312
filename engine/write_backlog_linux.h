#pragma once

namespace karuneo {

// Whether the system has little waiting to be written to its disks, so that
// a syncfs costs about what the caller itself wrote: one flush of a disk's
// cache for many files or folders instead of one each. False when it cannot
// tell: syncfs also waits for what other programs left unwritten, minutes on
// a disk another program is filling.
bool LittleWaitsToBeWritten();

}  // namespace karuneo
