#include <cstdint>
#include <ctime>

#include "results/rules/local_time.h"

namespace karuneo::native {

bool LocalCalendar(std::int64_t seconds, std::tm& calendar) {
    const auto moment = static_cast<std::time_t>(seconds);
    return ::localtime_r(&moment, &calendar) != nullptr;
}

}  // namespace karuneo::native
