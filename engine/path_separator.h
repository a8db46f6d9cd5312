#pragma once

#include <string>
#include <string_view>

namespace karuneo {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kPathSeparators = "\\/";
// A ':' in a name would name an alternate data stream of the entry before it.
inline constexpr std::string_view kNotInNames = "\\/:";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
inline constexpr std::string_view kNotInNames = "/";
#endif

// `name` inside the folder `parent`, whether or not `parent` ends with a
// separator (a root such as "/" does).
inline std::string PathIn(const std::string& parent, std::string_view name) {
    std::string path = parent;
    if (!path.ends_with(kPathSeparator)) {
        path += kPathSeparator;
    }
    path += name;
    return path;
}

}  // namespace karuneo
