#include "tests/support/platform.h"

namespace karuneo::testing {

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
