#include "window/rules/handoff_message.h"

#include <cstdint>

namespace karuneo {
namespace {

// A tag and a version, the number of paths, then per path its length and
// its bytes; numbers as 8 bytes, little-endian. With the count first, a
// message cut between two paths is refused too.
constexpr std::string_view kTag = "karuneo-handoff-1\n";
constexpr int kLengthBytes = 8;

void PutLength(std::string& out, std::uint64_t length) {
    for (int byte = 0; byte < kLengthBytes; ++byte) {
        out.push_back(static_cast<char>((length >> (8 * byte)) & 0xFF));
    }
}

std::optional<std::uint64_t> TakeLength(std::string_view& in) {
    if (in.size() < kLengthBytes) {
        return std::nullopt;
    }
    std::uint64_t length = 0;
    for (int byte = 0; byte < kLengthBytes; ++byte) {
        length |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[byte])) << (8 * byte);
    }
    in.remove_prefix(kLengthBytes);
    return length;
}

}  // namespace

std::string EncodeHandoff(const std::vector<std::string>& paths) {
    std::string message(kTag);
    PutLength(message, paths.size());
    for (const auto& path : paths) {
        PutLength(message, path.size());
        message += path;
    }
    return message;
}

std::optional<std::vector<std::string>> DecodeHandoff(std::string_view message) {
    if (!message.starts_with(kTag)) {
        return std::nullopt;
    }
    message.remove_prefix(kTag.size());
    const auto count = TakeLength(message);
    if (!count) {
        return std::nullopt;
    }
    std::vector<std::string> paths;
    for (std::uint64_t taken = 0; taken < *count; ++taken) {
        const auto length = TakeLength(message);
        if (!length || *length > message.size()) {
            return std::nullopt;
        }
        paths.emplace_back(message.substr(0, *length));
        message.remove_prefix(*length);
    }
    if (!message.empty()) {
        return std::nullopt;
    }
    return paths;
}

}  // namespace karuneo
