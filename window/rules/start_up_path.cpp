#include "window/rules/start_up_path.h"

#include <filesystem>
#include <system_error>

namespace karuneo {
namespace {

bool EndsInSeparator(const std::string& path) {
    return !path.empty() && path.back() == '/';
}

}  // namespace

std::string StartUpPath(const std::string& argument) {
    std::error_code failed;
    const std::filesystem::path full = std::filesystem::absolute(argument, failed);
    std::string path = failed ? argument : full.string();
    const bool names_folder_behind = EndsInSeparator(path);
    while (path.size() > 1 && EndsInSeparator(path)) {
        path.pop_back();
    }
    if (names_folder_behind && path != "/") {
        path += '/';
    }
    return path;
}

}  // namespace karuneo
