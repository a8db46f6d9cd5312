#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace karuneo {

// A moment in seconds since 1970 (UTC) as the user's clock showed it,
// "2024-05-01 09:30:15": the same in the windows and the command line, and
// sorted as text in time order. Empty for 0, which stands for unknown.
std::string LocalTimeText(std::int64_t seconds);

}  // namespace karuneo

// What each system's own file gives the shared one.
namespace karuneo::native {

// False when the system cannot tell that moment's local time.
bool LocalCalendar(std::int64_t seconds, std::tm& calendar);

}  // namespace karuneo::native
