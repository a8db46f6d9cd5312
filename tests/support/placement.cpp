#include "tests/support/placement.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

namespace karuneo::testing {
namespace {

bool AllowedTop(const std::string& top, const std::string& original_top,
                const Placement& placement) {
    const auto& others = placement.other_tops;
    return top == original_top || IsTempName(top) ||
           std::find(others.begin(), others.end(), top) != others.end();
}

// The original path, with its top folder under another allowed name, or
// moved up out of the chain.
bool AllowedPlace(const std::string& path, const std::string& original,
                  const Placement& placement) {
    if (original.starts_with(placement.chain) && path == original.substr(placement.chain.size())) {
        return true;
    }
    const auto slash = original.find('/');
    const auto path_slash = path.find('/');
    if (slash == std::string::npos || path_slash == std::string::npos) {
        return path == original;
    }
    return path.substr(path_slash) == original.substr(slash) &&
           AllowedTop(path.substr(0, path_slash), original.substr(0, slash), placement);
}

bool IsOriginal(const std::string& content, const Placement& placement) {
    const auto& files = placement.files;
    return std::find(files.begin(), files.end(), content) != files.end();
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

Placement PlacementOf(const Snapshot& before, std::vector<std::string> other_tops) {
    Placement placement{{}, ChainOf(before), std::move(other_tops), false};
    for (const auto& [path, kind] : before) {
        if (kind.starts_with("file:")) {
            placement.files.push_back(path);
        }
    }
    return placement;
}

std::string Misplaced(const Snapshot& tree, const Placement& placement) {
    std::string problems;
    std::map<std::string, int> seen;
    for (const auto& [path, kind] : tree) {
        const std::string content = kind.starts_with("file:") ? kind.substr(5) : "";
        if (!IsOriginal(content, placement)) {
            continue;  // a folder, a link, or a file a racing process made
        }
        ++seen[content];
        if (!AllowedPlace(path, content, placement)) {
            problems += content + " turned up at " + path + "; ";
        }
    }
    for (const auto& file : placement.files) {
        const int count = seen[file];
        if (count > 1 || (count == 0 && !placement.may_vanish)) {
            problems += file + " is there " + std::to_string(count) + " times; ";
        }
    }
    return problems;
}

bool AllMovedUp(const Snapshot& tree, const Placement& placement) {
    for (const auto& [path, kind] : tree) {
        const std::string content = kind.starts_with("file:") ? kind.substr(5) : "";
        if (IsOriginal(content, placement) && content.starts_with(placement.chain) &&
            path != content.substr(placement.chain.size())) {
            return false;
        }
    }
    return true;
}

bool IsTempName(const std::string& name) {
    constexpr std::string_view kPrefix = "karuneo";
    return name.size() == kPrefix.size() + 8 && name.starts_with(kPrefix) &&
           std::all_of(name.begin() + kPrefix.size(), name.end(),
                       [](unsigned char c) { return std::isxdigit(c) && !std::isupper(c); });
}

}  // namespace karuneo::testing
