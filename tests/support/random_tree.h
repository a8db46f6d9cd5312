#pragma once

#include <string>
#include <vector>

namespace karuneo::testing {

// A random dropped folder in TempTree's description syntax, for rapidcheck
// properties: a chain of up to three folders A or B, hidden entries along
// it, and a deepest folder of files, folders and links named from so few
// names that moved entries meet the top folder's name and the hidden entries
// of the dropped folder.
std::vector<std::string> RandomTree();

}  // namespace karuneo::testing
