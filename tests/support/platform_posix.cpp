#include "tests/support/platform.h"

namespace karuneo::testing {

std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(text);
}

std::string GenericUtf8(const std::filesystem::path& path) {
    return path.generic_string();
}

std::string NativeUtf8(const std::filesystem::path& path) {
    return path.string();
}

void HideLikeADotName(const std::filesystem::path&) {}

std::filesystem::path TestTreesFolder() {
    return std::filesystem::temp_directory_path();
}

bool CanCreateLinks() {
    return true;
}

bool RunsUnderWine() {
    return false;
}

}  // namespace karuneo::testing
