#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/reason/row_reason.h"

namespace karuneo::extract {

// An archive entry's name cut into the plain names of the folders it lies in
// and its own, or why it is refused: a name that could lead outside the new
// folder, or that one of the systems this program runs on could not hold.
struct SplitName {
    std::vector<std::string> parts;  // empty for the archive's top itself ("./")
    ExtractProblem problem = ExtractProblem::kNone;
};

// A leading "./" and one trailing "/" are allowed: archivers write them.
SplitName SplitEntryName(std::string_view name);

// Whether a symbolic link's target, read from a folder `depth` levels below
// the new folder, stays inside it. Its ".." may only lead it, and never above
// the new folder: after a plain name, a ".." could climb out of a link that
// name turns out to be. Absolute targets, drive letters and backslashes
// are refused.
bool LinkStaysInside(std::string_view target, std::size_t depth);

}  // namespace karuneo::extract
