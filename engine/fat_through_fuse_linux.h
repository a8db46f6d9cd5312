#pragma once

namespace karuneo {

// Whether the file system on the device `major`:`minor` is FAT or exFAT
// served by a FUSE driver. Such a driver answers RENAME_NOREPLACE with
// EINVAL and makes no hard links, so no file can move there without the
// risk of replacing another; some refuse names longer than 8.3 in a rename
// too. Known from the mount table, and for a "fuseblk" mount from the boot
// sector of its device where that may be read; nothing is assumed where it
// cannot be: the change itself then says. Asked once per device and thread.
bool IsFatThroughFuse(unsigned major, unsigned minor);

}  // namespace karuneo
