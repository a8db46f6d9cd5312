#include <iostream>

#include "app/cli/console_stream.h"

namespace karuneo::cli {

std::ostream& StandardOutput() {
    return std::cout;
}

std::ostream& StandardError() {
    return std::cerr;
}

}  // namespace karuneo::cli
