#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karuneo {

// The folders a second start hands to the window already running, as one
// message of bytes: paths travel exactly, whatever bytes they hold (names
// that are not UTF-8 on Linux, NULs cannot occur in a path but would survive
// too). A message that was cut short or is not ours decodes to nothing, so
// that a stray writer can never make the window process a wrong path.
std::string EncodeHandoff(const std::vector<std::string>& paths);
std::optional<std::vector<std::string>> DecodeHandoff(std::string_view message);

}  // namespace karuneo
