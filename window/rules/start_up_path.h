#pragma once

#include <string>

namespace karuneo {

// A folder named on the command line, made full as a drop would give it, so
// that its row's tip names the folder wherever the shell was. Repeated
// trailing separators become one, and that one stays: "ld/" names the folder
// behind the link ld, as the system resolves it, where "ld" is the link
// itself, which is never followed.
std::string StartUpPath(const std::string& argument);

}  // namespace karuneo
