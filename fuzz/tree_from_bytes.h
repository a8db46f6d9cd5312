#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/error_number.h"

namespace karuneo::fuzz {

// A small tree inside the dropped folder, in TempTree's description syntax,
// and a call of the walk to fail, both read from fuzz input.
struct FuzzCase {
    std::vector<std::string> entries;
    int fail_call = 0;  // 0: no call fails
    ErrorNumber fail_error = kNoError;
};

// Starts from a chain of up to three single folders, so that most inputs
// reach the moves, then hangs files, folders, hidden files and links off
// folders already made. Never produces two entries with the same path.
FuzzCase TreeFromBytes(const std::uint8_t* data, std::size_t size);

}  // namespace karuneo::fuzz
