#pragma once

#include <string_view>

namespace karuneo::dry_run {

// False for a name that the system lists but refuses to rename, move or
// create: on Windows one made on another system (as a Unix name seen
// through Wine or a network share) that holds a character Windows allows in
// no name. The dry run refuses it where the real run would.
bool SystemTakesName(std::string_view name);

}  // namespace karuneo::dry_run
