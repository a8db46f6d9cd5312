#include <algorithm>

#include "engine/dry_run/name_rules.h"

namespace karuneo::dry_run {

// The separators and ':' never reach here: the walk refuses them itself.
bool SystemTakesName(std::string_view name) {
    constexpr std::string_view kRefused = "\\/:*?\"<>|";
    return std::none_of(name.begin(), name.end(), [&](char c) {
        return (c >= '\0' && c < ' ') || kRefused.find(c) != std::string_view::npos;
    });
}

}  // namespace karuneo::dry_run
