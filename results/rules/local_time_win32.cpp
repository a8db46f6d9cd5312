#include "results/rules/local_time.h"

namespace karuneo::native {

bool LocalCalendar(std::int64_t seconds, std::tm& calendar) {
    const auto moment = static_cast<__time64_t>(seconds);
    return ::_localtime64_s(&calendar, &moment) == 0;
}

}  // namespace karuneo::native
