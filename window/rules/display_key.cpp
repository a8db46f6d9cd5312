#include "window/rules/display_key.h"

#include <array>
#include <cstddef>

#include "window/rules/ascii_digit.h"

namespace karuneo {
namespace {

constexpr std::size_t kLongestKey = 40;  // a socket's path is short

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t at = 0; at < a.size(); ++at) {
        if (Lower(a[at]) != Lower(b[at])) {
            return false;
        }
    }
    return true;
}

// Any character may come from the environment; the key names a file.
std::string Plain(std::string_view text) {
    std::string key;
    for (const char c : text.substr(0, kLongestKey)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsAsciiDigit(c) ||
                           c == '.' || c == '-';
        key += plain ? c : '_';
    }
    return key;
}

std::string_view WithoutTrailingSlashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    return path;
}

std::string WaylandKey(std::string_view display, std::string_view runtime_folder) {
    display = WithoutTrailingSlashes(display);
    const std::string_view folder = WithoutTrailingSlashes(runtime_folder);
    if (!folder.empty() && display.size() > folder.size() + 1 && display.starts_with(folder) &&
        display[folder.size()] == '/' &&
        display.find('/', folder.size() + 1) == std::string_view::npos) {
        display.remove_prefix(folder.size() + 1);
    }
    return "wayland-" + Plain(display);
}

// "unix/host:0" and "tcp/host:0" reach the display as "host:0" does.
std::string_view WithoutProtocol(std::string_view display) {
    constexpr std::array<std::string_view, 4> kProtocols = {"unix/", "tcp/", "inet/", "inet6/"};
    for (const std::string_view protocol : kProtocols) {
        if (display.starts_with(protocol)) {
            return display.substr(protocol.size());
        }
    }
    return display;
}

bool IsThisMachine(std::string_view host, std::string_view own) {
    constexpr std::array<std::string_view, 6> kLocal = {
        "", "unix", "localhost", "localhost.localdomain", "127.0.0.1", "::1"};
    for (const std::string_view local : kLocal) {
        if (SameIgnoringCase(host, local)) {
            return true;
        }
    }
    if (own.empty()) {
        return false;
    }
    // The machine's name with its domain is still the machine.
    return SameIgnoringCase(host, own) || (host.size() > own.size() && host[own.size()] == '.' &&
                                           SameIgnoringCase(host.substr(0, own.size()), own));
}

std::string XKey(std::string_view display, std::string_view own_host) {
    const std::string_view spelled = WithoutProtocol(display);
    const std::size_t colon = spelled.rfind(':');
    if (colon == std::string_view::npos) {
        return "x-" + Plain(display);
    }
    std::string_view host = spelled.substr(0, colon);
    if (host.ends_with(':')) {
        host.remove_suffix(1);  // DECnet's "host::0"
    }
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    std::string_view number = spelled.substr(colon + 1);
    number = number.substr(0, number.find('.'));  // the screen, still that display
    if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos) {
        return "x-" + Plain(display);
    }
    const std::size_t significant = number.find_first_not_of('0');
    number = significant == std::string_view::npos ? "0" : number.substr(significant);
    if (host.starts_with('/') || IsThisMachine(host, own_host)) {
        return "x-" + Plain(number);
    }
    std::string lower_host;
    for (const char c : host) {
        lower_host += Lower(c);
    }
    return "x-" + Plain(lower_host) + "-" + Plain(number);
}

}  // namespace

std::string DisplayKey(const DisplayNames& names) {
    if (!names.wayland.empty()) {
        return WaylandKey(names.wayland, names.runtime_folder);
    }
    if (!names.x.empty()) {
        return XKey(names.x, names.host);
    }
    return "none";
}

}  // namespace karuneo
