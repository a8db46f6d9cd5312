#include <fcntl.h>
#include <unistd.h>

#include "app/cli/arguments.h"

namespace karuneo::cli {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

bool StandardOutputIsOpen() {
    return ::fcntl(STDOUT_FILENO, F_GETFD) != -1;
}

}  // namespace karuneo::cli
