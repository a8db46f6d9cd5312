#include "engine/dry_run/terminal_token.h"

#include <cstdint>
#include <cstdio>

namespace karuneo::dry_run {
namespace {

struct CodePoint {
    char32_t value = 0;
    std::size_t length = 1;  // bytes taken from the text
    bool valid = false;
};

std::size_t SequenceLength(std::uint8_t lead) {
    return lead < 0x80   ? 1
           : lead < 0xC2 ? 0
           : lead < 0xE0 ? 2
           : lead < 0xF0 ? 3
           : lead < 0xF5 ? 4
                         : 0;
}

// Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
bool InRange(char32_t value, std::size_t length) {
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    return value >= kSmallest[length] && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
}

CodePoint Decode(std::string_view text) {
    const auto lead = static_cast<std::uint8_t>(text[0]);
    const std::size_t length = SequenceLength(lead);
    if (length == 0 || length > text.size()) {
        return {};
    }
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return {};
        }
        value = (value << 6) | (next & 0x3F);
    }
    return {value, length, InRange(value, length)};
}

// C0 and C1 controls, DEL, the line and paragraph separators, and the marks
// that reorder text on screen.
bool ControlsTheTerminal(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Printable ASCII but space and '"': most names, told without decoding.
bool IsPlainAscii(std::string_view text) {
    for (const char c : text) {
        if (c <= ' ' || c > '~' || c == '"') {
            return false;
        }
    }
    return true;
}

bool StandsAlone(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    if (IsPlainAscii(text)) {
        return true;
    }
    for (std::size_t at = 0; at < text.size();) {
        const CodePoint point = Decode(text.substr(at));
        if (!point.valid || ControlsTheTerminal(point.value) || point.value == ' ' ||
            point.value == '"') {
            return false;
        }
        at += point.length;
    }
    return true;
}

std::string Escaped(const char* format, unsigned value) {
    char escaped[16];
    std::snprintf(escaped, sizeof escaped, format, value);
    return escaped;
}

}  // namespace

std::string TerminalToken(std::string_view text) {
    if (StandsAlone(text)) {
        return std::string(text);
    }
    std::string token = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const CodePoint point = Decode(text.substr(at));
        const std::string_view bytes = text.substr(at, point.length);
        if (!point.valid || (point.value < 0x80 && ControlsTheTerminal(point.value))) {
            token += Escaped("\\x%02X", static_cast<std::uint8_t>(text[at]));
            at += 1;
            continue;
        }
        if (ControlsTheTerminal(point.value)) {
            token += Escaped("\\u{%X}", static_cast<unsigned>(point.value));
        } else if (point.value == '"' || point.value == '\\') {
            token += '\\';
            token += bytes;
        } else {
            token += bytes;
        }
        at += point.length;
    }
    return token + "\"";
}

}  // namespace karuneo::dry_run
