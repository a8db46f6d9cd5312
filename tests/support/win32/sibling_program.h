#pragma once

#include <string>

namespace karuneo::testing {

// The full path of `name` in the folder of the running test, where the build
// puts every program.
std::wstring SiblingProgram(const std::wstring& name);

}  // namespace karuneo::testing
