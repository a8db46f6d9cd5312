#include "results/rules/local_time.h"

namespace karuneo {

std::string LocalTimeText(std::int64_t seconds) {
    std::tm calendar{};
    char text[32];
    if (seconds == 0 || !native::LocalCalendar(seconds, calendar) ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &calendar) == 0) {
        return {};
    }
    return text;
}

}  // namespace karuneo
