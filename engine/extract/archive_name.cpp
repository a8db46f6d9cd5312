#include "engine/extract/archive_name.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <filesystem>
#include <system_error>

#include "engine/path_separator.h"

namespace karuneo::extract {
namespace {

// Longest first, so that ".tar.gz" wins over ".gz" (which alone is no
// archive of many entries and is not taken).
constexpr std::array<std::string_view, 26> kExtensions = {
    ".tar.gz", ".tar.bz2", ".tar.xz", ".tar.zst", ".tar.lz", ".tar.lzma", ".tar.lz4",
    ".tar.z",  ".tgz",     ".tbz",    ".tbz2",    ".txz",    ".tzst",     ".tlz",
    ".tar",    ".zip",     ".7z",     ".rar",     ".cpio",   ".iso",      ".xar",
    ".lzh",    ".lha",     ".cab",    ".pax",     ".zipx",
};

bool EndsWithIgnoringCase(std::string_view name, std::string_view tail) {
    return name.size() > tail.size() &&
           std::equal(tail.begin(), tail.end(), name.end() - static_cast<long>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

std::string FolderNameOfArchive(std::string_view file_name) {
    std::size_t longest = 0;
    for (const auto extension : kExtensions) {
        if (extension.size() > longest && EndsWithIgnoringCase(file_name, extension)) {
            longest = extension.size();
        }
    }
    if (longest == 0) {
        return {};
    }
    return std::string(file_name.substr(0, file_name.size() - longest));
}

std::string NumberedName(const std::string& name, int number) {
    return number <= 1 ? name : name + " (" + std::to_string(number) + ")";
}

bool IsArchiveFile(const std::string& path) {
    const auto cut = path.find_last_of(kPathSeparators);
    const std::string_view name =
        cut == std::string::npos ? std::string_view(path) : std::string_view(path).substr(cut + 1);
    if (FolderNameOfArchive(name).empty()) {
        return false;
    }
    // Spelled as UTF-8 for the standard library, so that Windows reads the
    // name as the program does and not in its ANSI code page.
    const std::u8string utf8(path.begin(), path.end());
    std::error_code error;
    return std::filesystem::symlink_status(std::filesystem::path(utf8), error).type() ==
           std::filesystem::file_type::regular;
}

}  // namespace karuneo::extract
