#include <iostream>

#include "app/cli/arguments.h"
#include "app/cli/cli.h"
#include "engine/native_file_system.h"

int main(int argc, char** argv) {
    karuneo::cli::UseUtf8Output();
    const auto args = karuneo::cli::CommandLineArguments(argc, argv);
    const auto fs = karuneo::MakeNativeFileSystem();
    return karuneo::cli::RunCli(args, *fs, std::cout, std::cerr);
}
