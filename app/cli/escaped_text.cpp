#include "app/cli/escaped_text.h"

#include <cstdint>
#include <cstdio>

namespace karuneo::cli {
namespace {

std::string Hex(const char* format, unsigned value) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, format, value);
    return escaped;
}

std::string EscapeC0(unsigned char byte) {
    switch (byte) {
        case '\n':
            return "\\n";
        case '\t':
            return "\\t";
        case '\r':
            return "\\r";
        default:
            return Hex("\\x%02x", byte);
    }
}

// U+0080 to U+009F are encoded as C2 80 to C2 9F.
bool IsC1At(std::string_view text, std::size_t i) {
    return static_cast<std::uint8_t>(text[i]) == 0xC2 && i + 1 < text.size() &&
           static_cast<std::uint8_t>(text[i + 1]) <= 0x9F &&
           static_cast<std::uint8_t>(text[i + 1]) >= 0x80;
}

}  // namespace

std::string EscapeControls(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\\') {
            escaped += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            escaped += EscapeC0(byte);
        } else if (IsC1At(text, i)) {
            escaped += Hex("\\u%04x", static_cast<std::uint8_t>(text[++i]));
        } else {
            escaped += text[i];
        }
    }
    return escaped;
}

}  // namespace karuneo::cli
