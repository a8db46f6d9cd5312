#include "app/cli/arguments.h"

namespace karuneo::cli {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void UseUtf8Output() {}

}  // namespace karuneo::cli
