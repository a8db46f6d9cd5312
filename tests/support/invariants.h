#pragma once

#include <string>

#include "tests/support/temp_tree.h"

namespace karuneo::testing {

// The folders a file's path loses when the walk moves it up: "A/B/" for a
// dropped folder that holds only A, which holds only B, which holds more.
// Empty when the tree is not nested. Hidden entries do not count.
std::string ChainOf(const Snapshot& tree);

// Every file of `before` (whose content is its original path) must be in
// `after` exactly once, unchanged, and only where a walk may leave it: where
// it was, there under the temporary name `temp` of the top folder, or moved
// up. Returns what breaks that, or an empty text.
std::string LostOrMisplaced(const Snapshot& before, const Snapshot& after, const std::string& chain,
                            const std::string& temp);

// True when every file that was below the chain now stands moved up.
bool AllMovedUp(const Snapshot& after, const std::string& chain);

}  // namespace karuneo::testing
