#include <iostream>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "engine/native_file_system.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto fs = karuneo::MakeNativeFileSystem();
    return karuneo::cli::RunCli(args, *fs, std::cout, std::cerr);
}
