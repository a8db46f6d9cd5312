#include "window/qt/end_requests.h"

namespace karuneo {

// Windows ends a session by closing the window, which the window handles.
void CloseOnEndRequests(Form1&) {}

}  // namespace karuneo
