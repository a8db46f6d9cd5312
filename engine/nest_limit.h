#pragma once

namespace karuneo {

// Chains deeper than this are refused with an error row rather than walked:
// no real archive nests this deep, and the walk recurses once per level.
inline constexpr int kMaxNestLevel = 256;

}  // namespace karuneo
