#pragma once

#include <string>

namespace karuneo {

// "karuneo" and eight lower-case hex digits, then ".tmp": lower case only,
// so that two names never differ in letter case alone. Each thread draws
// from a generator of its own, seeded differently in every process.
std::string NewTempName();

}  // namespace karuneo
