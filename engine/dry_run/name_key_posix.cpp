#include <string>
#include <string_view>

#include "engine/dry_run/name_key.h"

namespace karuneo::dry_run {

std::string NameKey(std::string_view name) {
    return std::string(name);
}

}  // namespace karuneo::dry_run
