#pragma once

#include <ostream>

namespace karuneo::cli {

// Where the tool writes its standard output and error, both taking UTF-8.
// A Windows console shows UTF-8 bytes in its own code page (garbled, unless
// the code page is changed for everyone sharing the console), so one gets
// the text as UTF-16 instead; a redirected stream gets the UTF-8 bytes.
std::ostream& StandardOutput();
std::ostream& StandardError();

}  // namespace karuneo::cli
