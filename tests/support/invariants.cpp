#include "tests/support/invariants.h"

#include <algorithm>
#include <map>
#include <vector>

namespace karuneo::testing {
namespace {

std::vector<std::string> AllowedPlaces(const std::string& original, const std::string& chain,
                                       const std::string& temp) {
    std::vector<std::string> places{original};
    const auto slash = original.find('/');
    if (slash != std::string::npos) {
        places.push_back(temp + original.substr(slash));
    }
    if (!chain.empty() && original.starts_with(chain)) {
        places.push_back(original.substr(chain.size()));
    }
    return places;
}

bool IsHidden(const std::string& name) {
    return name.starts_with(".");
}

// The visible direct entries of `folder` ("" for the top) in a snapshot.
std::vector<std::string> VisibleChildren(const Snapshot& tree, const std::string& folder) {
    std::vector<std::string> children;
    for (const auto& [path, kind] : tree) {
        if (!path.starts_with(folder)) {
            continue;
        }
        const std::string rest = path.substr(folder.size());
        if (!rest.empty() && rest.find('/') == std::string::npos && !IsHidden(rest)) {
            children.push_back(rest);
        }
    }
    return children;
}

}  // namespace

std::string ChainOf(const Snapshot& tree) {
    std::string chain;
    for (;;) {
        const auto children = VisibleChildren(tree, chain);
        if (children.size() != 1 || tree.at(chain + children.front()) != "dir") {
            return chain;
        }
        chain += children.front() + "/";
    }
}

std::string LostOrMisplaced(const Snapshot& before, const Snapshot& after, const std::string& chain,
                            const std::string& temp) {
    std::map<std::string, int> seen;
    for (const auto& [path, kind] : after) {
        if (!kind.starts_with("file:")) {
            continue;
        }
        const std::string original = kind.substr(5);
        ++seen[original];
        const auto places = AllowedPlaces(original, chain, temp);
        if (std::find(places.begin(), places.end(), path) == places.end()) {
            return original + " turned up at " + path;
        }
    }
    for (const auto& [path, kind] : before) {
        if (kind.starts_with("file:") && seen[path] != 1) {
            return path + " is there " + std::to_string(seen[path]) + " times";
        }
    }
    return "";
}

bool AllMovedUp(const Snapshot& after, const std::string& chain) {
    for (const auto& [path, kind] : after) {
        const std::string original = kind.starts_with("file:") ? kind.substr(5) : "";
        if (!original.empty() && original.starts_with(chain) &&
            path != original.substr(chain.size())) {
            return false;
        }
    }
    return true;
}

}  // namespace karuneo::testing
