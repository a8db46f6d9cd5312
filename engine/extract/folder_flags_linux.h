#pragma once

#include <fcntl.h>

namespace karuneo::extract {

// An extraction's folders are opened to list or make entries in them, never
// through a link that may have taken a folder's place, and never left open
// in a program started meanwhile.
inline constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

}  // namespace karuneo::extract
