#pragma once

#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace karuneo::testing {

// Where the files of a dropped folder may be after any walk, finished or not.
// Each file's content is its original path (as TempTree writes it), so a
// file that moved still tells where it came from.
struct Placement {
    std::vector<std::string> files;  // original paths inside the dropped folder
    std::string chain;               // what a moved-up file's path loses, "A/B/"
    // Names the top folder of the chain may carry besides its own and a
    // temporary "karuneoXXXXXXXX" one: where a racing process put it.
    std::vector<std::string> other_tops;
    bool may_vanish = false;  // a racing process deleted some of them
};

// The folders a file's path loses when the walk moves it up: "A/B/" for a
// dropped folder that holds only A, which holds only B, which holds more.
// Empty when the tree is not nested. Hidden entries do not count.
std::string ChainOf(const Snapshot& tree);

// Where the files of `before` may end up, the chain worked out from it.
Placement PlacementOf(const Snapshot& before, std::vector<std::string> other_tops = {});

// Empty when every file is exactly once in an allowed place with its
// content unchanged; otherwise what is wrong, for the failure message.
std::string Misplaced(const Snapshot& tree, const Placement& placement);

// True when every file sits where a finished walk puts it.
bool AllMovedUp(const Snapshot& tree, const Placement& placement);

// A temporary name the Linux layer hands out, without its extension.
bool IsTempName(const std::string& name);

}  // namespace karuneo::testing
