#pragma once

namespace karuneo {

// Whether the system has little waiting to be written to its disks, so that
// a syncfs costs about what the caller itself wrote: one flush of a disk's
// cache for many files or folders instead of one each. False when it cannot
// tell: syncfs also waits for what other programs left unwritten, minutes on
// a disk another program is filling.
bool LittleWaitsToBeWritten();

// Whether one syncfs through `fd` makes durable all that a sync of each file
// or folder on its file system would: a local file system that commits
// everything on syncfs (ext2/3/4, XFS, Btrfs, F2FS). Not a network or FUSE
// one, whose server or daemon hears of a sync only file by file, nor one
// this cannot tell.
bool SyncfsCoversEachFile(int fd);

}  // namespace karuneo
