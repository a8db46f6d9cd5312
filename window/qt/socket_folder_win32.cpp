#include "window/qt/single_instance.h"

namespace karuneo {

// karuneo.exe is the window on Windows; a Qt build there opens one per start.
QString PrivateSocketPath() {
    return {};
}

}  // namespace karuneo
