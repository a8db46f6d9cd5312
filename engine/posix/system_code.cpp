#include "engine/reason/system_code.h"

#include <cerrno>
#include <cstring>

namespace karuneo {

// A link met with O_NOFOLLOW gives ELOOP, which is why it stands for one.
SystemCause ClassifySystemCode(int code) {
    switch (code) {
        case EACCES:
        case EPERM:
            return SystemCause::kNoPermission;
        case ELOOP:
            return SystemCause::kLink;
        case ENAMETOOLONG:
            return SystemCause::kNameTooLong;
        default:
            return SystemCause::kOther;
    }
}

std::string SystemMessage(int code) {
    if (code == 0) {
        return {};
    }
    char buffer[256];
    // The GNU strerror_r, which g++ always declares: it may return a
    // string of its own instead of filling the buffer.
    return ::strerror_r(code, buffer, sizeof buffer);
}

}  // namespace karuneo
