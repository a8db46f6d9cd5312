#pragma once

#include <string>
#include <string_view>

namespace karuneo {

// What a start knows of the display it was started on.
struct DisplayNames {
    std::string_view wayland;         // WAYLAND_DISPLAY: a socket's name or path
    std::string_view x;               // DISPLAY: [protocol/][host]:number[.screen]
    std::string_view host;            // this machine's own name
    std::string_view runtime_folder;  // XDG_RUNTIME_DIR, where a Wayland socket's name lies
};

// The one key of a display, whatever its spelling, so that every start on
// it finds the same window: ":0", ":0.0", "unix:0", "localhost:0" and the
// machine's own name before the colon are one display (a screen of it is
// still that display), while another host's display keeps that host's name.
// A Wayland display, taken before an X one as the session's own, is its
// socket's name whether given as a name or as the path in the runtime
// folder. The key holds only letters, digits, "." and "-", short enough
// for a socket's path; "none" when there is no display at all.
std::string DisplayKey(const DisplayNames& names);

}  // namespace karuneo
