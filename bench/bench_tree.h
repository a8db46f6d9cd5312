#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace karuneo::bench {

// The paths of one chain D/A/B under a scratch folder.
struct Chain {
    std::filesystem::path dropped;  // D
    std::filesystem::path deepest;  // D/A/B
};

// Builds D/A/B with `entries` empty files in B; throws when it cannot.
Chain MakeChain(const std::filesystem::path& scratch, long entries);

// Builds `count` chains D<i>/A/B/f under `scratch`, as a download folder of
// many small archives holds them; returns the D<i>.
std::vector<std::filesystem::path> MakeSmallChains(const std::filesystem::path& scratch,
                                                   long count);

// Direct entries of a folder, hidden ones included.
long CountEntries(const std::filesystem::path& folder);

}  // namespace karuneo::bench
