#pragma once

#include <string>

namespace karuneo::testing {

// Carries out, through the native layer, the operations that a dry run
// printed for folders below `printed_under`, on the same folders below
// `replay_under`. Empty when every line was understood and every operation
// succeeded; otherwise what went wrong.
std::string Replay(const std::string& operations, const std::string& printed_under,
                   const std::string& replay_under);

}  // namespace karuneo::testing
