#include "results/rules/bounded_text.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace karuneo {
namespace {

constexpr std::string_view kEllipsis = "…";

// The length of the UTF-8 sequence a lead byte starts; a stray byte is one.
std::size_t SequenceLength(std::uint8_t lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    return lead >= 0xC0 ? 2 : 1;
}

std::uint32_t CodePoint(std::string_view character) {
    const auto lead = static_cast<std::uint8_t>(character[0]);
    if (character.size() == 1) {
        return lead;
    }
    std::uint32_t code = lead & (0x7F >> character.size());
    for (std::size_t at = 1; at < character.size(); ++at) {
        code = (code << 6) | (static_cast<std::uint8_t>(character[at]) & 0x3F);
    }
    return code;
}

// The East Asian wide and fullwidth ranges, as terminals count them.
bool IsWide(std::uint32_t code) {
    return (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
           (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
           (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
           (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x20000 && code <= 0x3FFFD);
}

struct Line {
    std::string text;
    std::size_t columns = 0;
};

// Breaks one line of the text greedily; a line breaks after the last space
// or separator that fits, else right before the character that does not.
void Wrap(std::string_view text, std::size_t columns, std::vector<Line>& lines) {
    Line line;
    std::size_t break_at = 0;  // bytes of `line` up to its last break; 0: none
    std::size_t break_columns = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length =
            std::min(SequenceLength(static_cast<std::uint8_t>(text[at])), text.size() - at);
        const std::string_view character = text.substr(at, length);
        at += length;
        const std::size_t width = IsWide(CodePoint(character)) ? 2 : 1;
        if (line.columns + width > columns && line.columns > 0) {
            if (character == " ") {
                break_at = line.text.size();
                break_columns = line.columns;
            }
            Line rest;
            if (break_at > 0) {
                rest.text = line.text.substr(break_at);
                rest.columns = line.columns - break_columns;
                line.text.resize(break_at);
                line.columns = break_columns;
            }
            while (!line.text.empty() && line.text.back() == ' ') {
                line.text.pop_back();
            }
            lines.push_back(std::move(line));
            line = std::move(rest);
            break_at = 0;
            if (character == " " && line.text.empty()) {
                continue;  // a line never starts with the space it broke at
            }
        }
        line.text += character;
        line.columns += width;
        if (character == " " || character == "/" || character == "\\") {
            break_at = line.text.size();
            break_columns = line.columns;
        }
    }
    lines.push_back(std::move(line));
}

}  // namespace

std::string BoundedText(std::string_view text, std::size_t columns, std::size_t max_lines) {
    std::vector<Line> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        Wrap(text.substr(start, end == std::string_view::npos ? end : end - start), columns, lines);
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    const bool cut = lines.size() > max_lines;
    if (cut) {
        lines.resize(max_lines);
    }
    std::string bounded;
    for (std::size_t at = 0; at < lines.size(); ++at) {
        if (at > 0) {
            bounded += '\n';
        }
        bounded += lines[at].text;
    }
    if (cut && max_lines > 0) {
        // Room for the mark: characters go from the line's end, whole.
        std::size_t room = lines.back().columns;
        while (room + 1 > columns && !bounded.empty() && bounded.back() != '\n') {
            std::size_t start = bounded.size() - 1;
            while (start > 0 && (static_cast<std::uint8_t>(bounded[start]) & 0xC0) == 0x80) {
                --start;
            }
            room -= IsWide(CodePoint(std::string_view(bounded).substr(start))) ? 2 : 1;
            bounded.resize(start);
        }
        bounded += kEllipsis;
    }
    return bounded;
}

}  // namespace karuneo
