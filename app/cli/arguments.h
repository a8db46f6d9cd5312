#pragma once

#include <string>
#include <vector>

namespace karuneo::cli {

// The program's arguments after its name, as UTF-8. On Windows they are read
// from the UTF-16 command line, since argv holds them in the ANSI code page,
// which cannot spell most names.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Makes the terminal show the UTF-8 that the tool prints.
void UseUtf8Output();

}  // namespace karuneo::cli
