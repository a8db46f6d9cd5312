#include "engine/extract/entry_name.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace karuneo::extract {
namespace {

// No file system this program writes to holds a longer name.
constexpr std::size_t kLongestName = 255;

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

// Windows opens the device whatever the extension: "nul.txt" is NUL too.
// Ports are numbered from 0, and by the superscripts too.
bool IsDeviceName(std::string_view part) {
    constexpr std::array<std::string_view, 6> kPlain = {"CON", "PRN",    "AUX",
                                                        "NUL", "CONIN$", "CONOUT$"};
    constexpr std::array<std::string_view, 3> kSuperscripts = {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
    const std::string stem = Upper(part.substr(0, part.find('.')));
    const auto trimmed = std::string_view(stem).substr(0, stem.find_last_not_of(' ') + 1);
    if (std::find(kPlain.begin(), kPlain.end(), trimmed) != kPlain.end()) {
        return true;
    }
    if (!trimmed.starts_with("COM") && !trimmed.starts_with("LPT")) {
        return false;
    }
    const auto number = trimmed.substr(3);
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') ||
           std::find(kSuperscripts.begin(), kSuperscripts.end(), number) != kSuperscripts.end();
}

bool IsDriveLetter(std::string_view part) {
    return part.size() >= 2 && part[1] == ':' && std::isalpha(static_cast<unsigned char>(part[0]));
}

ExtractProblem ProblemOfPart(std::string_view part, bool first) {
    if (part.empty() || part == ".") {
        return ExtractProblem::kEmptyPart;
    }
    if (part == "..") {
        return ExtractProblem::kParentName;
    }
    if (part.find('\\') != std::string_view::npos) {
        return ExtractProblem::kBackslashName;
    }
    if (first && IsDriveLetter(part)) {
        return ExtractProblem::kDriveName;
    }
    if (IsDeviceName(part)) {
        return ExtractProblem::kDeviceName;
    }
    return part.size() > kLongestName ? ExtractProblem::kLongName : ExtractProblem::kNone;
}

std::vector<std::string_view> Cut(std::string_view text) {
    std::vector<std::string_view> parts;
    for (auto slash = text.find('/');; slash = text.find('/')) {
        parts.push_back(text.substr(0, slash));
        if (slash == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(slash + 1);
    }
}

}  // namespace

SplitName SplitEntryName(std::string_view name) {
    SplitName split;
    if (name.starts_with('/')) {
        split.problem = ExtractProblem::kAbsoluteName;
        return split;
    }
    while (name.starts_with("./")) {
        name.remove_prefix(2);
    }
    if (name.ends_with('/')) {
        name.remove_suffix(1);
    }
    if (name.empty() || name == ".") {
        return split;  // the top itself, which the new folder stands for
    }
    for (const auto part : Cut(name)) {
        split.problem = ProblemOfPart(part, split.parts.empty());
        if (split.problem != ExtractProblem::kNone) {
            split.parts.clear();
            return split;
        }
        split.parts.emplace_back(part);
    }
    return split;
}

bool LinkStaysInside(std::string_view target, std::size_t depth) {
    if (target.empty() || target.starts_with('/') || IsDriveLetter(target) ||
        target.find('\\') != std::string_view::npos) {
        return false;
    }
    std::size_t climbed = 0;
    bool descended = false;
    for (const auto part : Cut(target)) {
        if (part == "..") {
            if (descended || ++climbed > depth) {
                return false;
            }
        } else if (!part.empty() && part != ".") {
            descended = true;
        }
    }
    return true;
}

}  // namespace karuneo::extract
