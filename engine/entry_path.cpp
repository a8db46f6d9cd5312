#include "engine/entry_path.h"

#include <string_view>
#include <utility>

#include "engine/path_separator.h"

namespace karuneo {
namespace {

// A trailing separator names the folder a link points at, as the system
// resolves "ld/": it stands for "ld/.", which the layers open through the
// link and name by the folder's own name. Without it, "ld" is the link
// itself, which is never followed.
std::string WithoutTrailingSeparators(std::string path) {
    const auto last = path.find_last_not_of(kPathSeparators);
    if (last == std::string::npos) {
        // Only separators (or nothing): the file-system root, or no path.
        return path.empty() ? path : std::string(1, path.front());
    }
    if (last + 1 < path.size()) {
        path.erase(last + 1);
        path += kPathSeparator;
        path += '.';
    }
    return path;
}

}  // namespace

EntryPath::EntryPath(std::string root) : root_(WithoutTrailingSeparators(std::move(root))) {}

EntryPath EntryPath::Child(std::string name) const {
    EntryPath child = *this;
    child.names_.push_back(std::move(name));
    return child;
}

EntryPath EntryPath::Parent() const {
    EntryPath parent = *this;
    parent.names_.pop_back();
    return parent;
}

std::string EntryPath::LastName() const {
    if (!names_.empty()) {
        return names_.back();
    }
    const auto cut = root_.find_last_of(kPathSeparators);
    return cut == std::string::npos || cut + 1 == root_.size() ? root_ : root_.substr(cut + 1);
}

std::string EntryPath::Joined() const {
    std::string joined = root_;
    for (const auto& name : names_) {
        if (joined.empty() || joined.back() != kPathSeparator) {
            joined += kPathSeparator;
        }
        joined += name;
    }
    return joined;
}

std::string EntryPath::Below(std::size_t count) const {
    std::string below;
    for (std::size_t i = 0; i < names_.size() && i < count; ++i) {
        below += (i == 0 ? "" : std::string(1, kPathSeparator)) + names_[i];
    }
    return below;
}

}  // namespace karuneo
