#include <iostream>

#include "app/cli/arguments.h"
#include "app/cli/cli.h"
#include "engine/native_file_system.h"

int main(int argc, char** argv) {
    if (!karuneo::cli::StandardOutputIsOpen()) {
        std::cerr << "karuneo-cli: standard output is closed; nothing was changed\n";
        return karuneo::cli::kExitSomeFailed;
    }
    karuneo::cli::UseUtf8Output();
    const auto args = karuneo::cli::CommandLineArguments(argc, argv);
    const auto fs = karuneo::MakeNativeFileSystem();
    auto& stop = karuneo::cli::SignalInterruption();
    const int status = karuneo::cli::RunCli(args, *fs, std::cout, std::cerr, stop);
    karuneo::cli::InterruptibleWorkDone();
    return status;
}
