#include <string>

#include "window/rules/native_path.h"

namespace karuneo {

std::string NativePathFromUrlPath(std::string url_path) {
    return url_path;
}

}  // namespace karuneo
