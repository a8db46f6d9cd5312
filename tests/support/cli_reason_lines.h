#pragma once

#include <string>

namespace karuneo::testing {

// The reasons a run of karuneo-cli gave on standard error, without the dry
// run's changes: the lines it starts with its own name.
std::string ReasonLines(const std::string& err);

}  // namespace karuneo::testing
