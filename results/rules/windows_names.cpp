#include "results/rules/windows_names.h"

#include <algorithm>

namespace karuneo {

std::vector<std::string> CharactersWindowsRefuses(std::string_view name) {
    constexpr std::string_view kRefused = "\\/:*?\"<>|";
    std::vector<std::string> found;
    for (const char c : name) {
        const std::string one(1, c);
        if (kRefused.find(c) != std::string_view::npos &&
            std::find(found.begin(), found.end(), one) == found.end()) {
            found.push_back(one);
        }
    }
    return found;
}

}  // namespace karuneo
