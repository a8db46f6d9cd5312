#pragma once

#include <string>
#include <vector>

namespace karuneo::testing {

// A tree inside the dropped folder D, described as TempTree::Add takes it.
struct TreeShape {
    std::string name;
    std::vector<std::string> entries;
};

// The shapes every sweep of a walk's calls runs over (each call failed in
// turn, each call the last before a kill): chains of one to five levels,
// hidden entries at each level, names that meet the chain's or the
// temporary one's, Japanese names, empty folders.
const std::vector<TreeShape>& SweepShapes();

}  // namespace karuneo::testing
