#include <algorithm>

#include "window/rules/native_path.h"

namespace karuneo {

std::string NativePathFromUrlPath(std::string url_path) {
    // "/C:/dir" names the drive; the rest uses the system's separators.
    if (url_path.size() >= 3 && url_path[0] == '/' && url_path[2] == ':') {
        url_path.erase(0, 1);
    }
    std::replace(url_path.begin(), url_path.end(), '/', '\\');
    return url_path;
}

}  // namespace karuneo
