#pragma once

#include <string>
#include <string_view>

namespace karuneo::dry_run {

// Two names that the file system takes for the same entry give the same key:
// the name itself where names are bytes, its upper case where letter case
// does not tell names apart.
std::string NameKey(std::string_view name);

}  // namespace karuneo::dry_run
