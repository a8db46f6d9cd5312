#include "results/rules/escaped_text.h"

#include <cstdint>
#include <cstdio>

#include "engine/display_text.h"

namespace karuneo {
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

// Line and paragraph separators end a line in some terminals, and the
// direction marks, embeddings, overrides and isolates reorder what follows
// them on screen: a name could make a row read as another. Each is one
// three-byte (or, for U+061C, two-byte) sequence in UTF-8.
struct Mark {
    unsigned code = 0;
    std::size_t length = 0;  // 0: no mark here
};

bool ReordersOrBreaks(unsigned code) {
    return code == 0x061C || code == 0x200E || code == 0x200F || code == 0x2028 || code == 0x2029 ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

Mark MarkAt(std::string_view text, std::size_t i) {
    const auto byte = [&text](std::size_t at) {
        return static_cast<unsigned>(static_cast<std::uint8_t>(text[at]));
    };
    if (byte(i) == 0xD8 && i + 1 < text.size() && byte(i + 1) == 0x9C) {
        return {0x061C, 2};
    }
    if (byte(i) != 0xE2 || i + 2 >= text.size()) {
        return {};
    }
    const unsigned code = 0x2000 | ((byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F);
    return ReordersOrBreaks(code) ? Mark{code, 3} : Mark{};
}

}  // namespace

std::string EscapeControls(std::string_view text, Backslash backslash) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\\' && backslash == Backslash::kDoubled) {
            escaped += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            escaped += EscapeC0(byte);
        } else if (IsC1At(text, i)) {
            escaped += Hex("\\u%04x", static_cast<std::uint8_t>(text[++i]));
        } else if (const Mark mark = MarkAt(text, i); mark.length > 0) {
            escaped += Hex("\\u%04x", mark.code);
            i += mark.length - 1;
        } else {
            escaped += text[i];
        }
    }
    return escaped;
}

std::string ShownInWindow(std::string_view bytes) {
    return EscapeControls(ToDisplayText(bytes), Backslash::kKept);
}

}  // namespace karuneo
