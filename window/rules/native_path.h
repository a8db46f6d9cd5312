#pragma once

#include <string>

namespace karuneo {

// A path the operating system takes, from the decoded path of a local file
// URL ("/home/me/D", "/C:/Users/me/D").
std::string NativePathFromUrlPath(std::string url_path);

}  // namespace karuneo
