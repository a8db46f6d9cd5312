#pragma once

#include <QString>
#include <string_view>

namespace karuneo {

// Every text the engine and the rules hand the Qt side is UTF-8.
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace karuneo
