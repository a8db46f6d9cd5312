#include "engine/display_text.h"

#include <cstddef>
#include <cstdint>

namespace karuneo {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

struct Sequence {
    std::size_t length;  // bytes taken from the input
    bool valid;
};

struct LeadRule {
    std::size_t length;
    std::uint8_t second_min;
    std::uint8_t second_max;
};

// Which bytes may follow a lead byte; this is what rules out overlong
// forms, surrogates and code points past U+10FFFF.
LeadRule RuleFor(std::uint8_t lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return {2, 0x80, 0xBF};
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return {3, lead == 0xE0 ? std::uint8_t{0xA0} : std::uint8_t{0x80},
                lead == 0xED ? std::uint8_t{0x9F} : std::uint8_t{0xBF}};
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return {4, lead == 0xF0 ? std::uint8_t{0x90} : std::uint8_t{0x80},
                lead == 0xF4 ? std::uint8_t{0x8F} : std::uint8_t{0xBF}};
    }
    return {0, 0, 0};
}

// The sequence at the start of `s`: a whole valid one, or the maximal
// subpart of one that breaks off, which one replacement character stands for.
Sequence NextSequence(std::string_view s) {
    const auto lead = static_cast<std::uint8_t>(s[0]);
    if (lead < 0x80) {
        return {1, true};
    }
    const LeadRule rule = RuleFor(lead);
    if (rule.length == 0) {
        return {1, false};
    }
    std::size_t taken = 1;
    for (; taken < rule.length && taken < s.size(); ++taken) {
        const auto next = static_cast<std::uint8_t>(s[taken]);
        const std::uint8_t min = taken == 1 ? rule.second_min : std::uint8_t{0x80};
        const std::uint8_t max = taken == 1 ? rule.second_max : std::uint8_t{0xBF};
        if (next < min || next > max) {
            break;
        }
    }
    return {taken, taken == rule.length};
}

}  // namespace

std::string ToDisplayText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const Sequence sequence = NextSequence(bytes);
        text.append(sequence.valid ? bytes.substr(0, sequence.length) : kReplacement);
        bytes.remove_prefix(sequence.length);
    }
    return text;
}

}  // namespace karuneo
