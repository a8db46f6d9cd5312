#pragma once

#include <filesystem>
#include <string>

namespace karuneo::bench {

// The paths of one chain D/A/B under a scratch folder.
struct Chain {
    std::filesystem::path dropped;  // D
    std::filesystem::path deepest;  // D/A/B
};

// Builds D/A/B with `entries` empty files in B; throws when it cannot.
Chain MakeChain(const std::filesystem::path& scratch, long entries);

// Direct entries of a folder, hidden ones included.
long CountEntries(const std::filesystem::path& folder);

}  // namespace karuneo::bench
