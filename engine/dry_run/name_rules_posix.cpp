#include <string_view>

#include "engine/dry_run/name_rules.h"

namespace karuneo::dry_run {

// Every byte but '/' and NUL, which no listing gives, makes a name.
bool SystemTakesName(std::string_view) {
    return true;
}

}  // namespace karuneo::dry_run
