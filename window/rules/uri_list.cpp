#include "window/rules/uri_list.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "window/rules/native_path.h"

namespace karuneo {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
}

std::string_view Trimmed(std::string_view line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

bool IsLocalHost(std::string_view host) {
    return host.empty() || (host.size() == 9 && StartsWithNoCase(host, "localhost"));
}

// The encoded path of a local file URL, or nothing for any other URL.
std::optional<std::string_view> LocalUrlPath(std::string_view url) {
    constexpr std::string_view kScheme = "file:";
    if (!StartsWithNoCase(url, kScheme)) {
        return std::nullopt;
    }
    std::string_view rest = url.substr(kScheme.size());
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const auto slash = rest.find('/');
        if (slash == std::string_view::npos || !IsLocalHost(rest.substr(0, slash))) {
            return std::nullopt;
        }
        rest.remove_prefix(slash);
    }
    if (!rest.starts_with('/')) {
        return std::nullopt;
    }
    // Names with "?" or "#" arrive encoded, so these end the path.
    return rest.substr(0, rest.find_first_of("?#"));
}

}  // namespace

std::string PercentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = (text[i] == '%' && i + 2 < text.size()) ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0) {
            decoded.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            decoded.push_back(text[i]);
        }
    }
    return decoded;
}

std::vector<std::string> LocalPathsFromUriList(std::string_view uri_list) {
    std::vector<std::string> paths;
    while (!uri_list.empty()) {
        const auto newline = uri_list.find('\n');
        const std::string_view line = Trimmed(uri_list.substr(0, newline));
        uri_list.remove_prefix(newline == std::string_view::npos ? uri_list.size() : newline + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (const auto path = LocalUrlPath(line)) {
            paths.push_back(NativePathFromUrlPath(PercentDecode(*path)));
        }
    }
    return paths;
}

}  // namespace karuneo
