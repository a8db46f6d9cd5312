#include <iostream>

#include "app/cli/arguments.h"
#include "app/cli/cli.h"
#include "app/cli/console_stream.h"
#include "engine/native_file_system.h"

int main(int argc, char** argv) {
    if (!karuneo::cli::StandardOutputIsOpen()) {
        std::cerr << "karuneo-cli: standard output is closed; nothing was changed\n";
        return karuneo::cli::kExitSomeFailed;
    }
    const auto args = karuneo::cli::CommandLineArguments(argc, argv);
    const auto fs = karuneo::MakeNativeFileSystem();
    auto& stop = karuneo::cli::SignalInterruption();
    std::ostream& out = karuneo::cli::StandardOutput();
    std::ostream& err = karuneo::cli::StandardError();
    const int status = karuneo::cli::RunCli(args, *fs, out, err, stop);
    out.flush();
    err.flush();
    karuneo::cli::InterruptibleWorkDone();
    return status;
}
