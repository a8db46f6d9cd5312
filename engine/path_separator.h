#pragma once

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

}  // namespace karuneo
