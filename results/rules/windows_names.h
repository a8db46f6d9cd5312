#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karuneo {

// The characters of `name` that Windows allows in no name (\ / : * ? " < > |),
// each once, in the order they first come: what a reason points at when a
// name made on another system cannot be held.
std::vector<std::string> CharactersWindowsRefuses(std::string_view name);

}  // namespace karuneo
