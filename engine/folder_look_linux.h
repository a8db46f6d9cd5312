#pragma once

#include <vector>

#include "engine/error_number.h"

namespace karuneo {
struct ExtendedAttribute;
struct FolderLook;
struct LookNotRestored;

// The extended attributes of the open folder `fd`, access lists among them.
// A file system that keeps none gives none.
Result<std::vector<ExtendedAttribute>> ReadAttributes(int fd);

// What an undo gives back beyond mode and times: each part that cannot be
// given back (the owner where the user may not set it, an attribute of a
// namespace the user may not write) is named in `not_restored` and skipped.
void GiveOwnerBack(int fd, const FolderLook& look, LookNotRestored& not_restored);
void GiveAttributesBack(int fd, const std::vector<ExtendedAttribute>& attributes,
                        LookNotRestored& not_restored);

}  // namespace karuneo
