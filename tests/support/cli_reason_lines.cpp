#include "tests/support/cli_reason_lines.h"

#include <sstream>

namespace karuneo::testing {

std::string ReasonLines(const std::string& err) {
    std::istringstream lines(err);
    std::string reasons;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("karuneo-cli: ")) {
            reasons += line + '\n';
        }
    }
    return reasons;
}

}  // namespace karuneo::testing
