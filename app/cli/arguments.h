#pragma once

#include <string>
#include <vector>

namespace karuneo::cli {

// The program's arguments after its name, as UTF-8. On Windows they are read
// from the UTF-16 command line, since argv holds them in the ANSI code page,
// which cannot spell most names.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// False when the tool was started with standard output closed: it would
// change folders without telling anyone.
bool StandardOutputIsOpen();

}  // namespace karuneo::cli
