#pragma once

#include <string>
#include <string_view>

namespace karuneo {

// Names on disk are bytes. For display, every byte sequence that is not valid
// UTF-8 becomes U+FFFD, one per maximal invalid subpart as Unicode advises,
// so a name is shown readably without ever changing what is on disk.
std::string ToDisplayText(std::string_view bytes);

}  // namespace karuneo
