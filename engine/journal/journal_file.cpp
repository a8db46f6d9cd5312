// The parts of the journal's storage that every system shares: listing,
// reading and pruning the journal folder, which is this program's own.
#include "engine/journal/journal_file.h"

#include <algorithm>
#include <chrono>
#include <compare>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <system_error>

#include "engine/journal/journal_record.h"

namespace karuneo::journal {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kRunsKept = 100;
constexpr auto kAgeKept = std::chrono::hours(24 * 30);
constexpr std::string_view kExtension = ".journal";

fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool OldEnoughToGo(const std::string& path) {
    std::error_code error;
    const auto written = fs::last_write_time(PathOf(path), error);
    return !error && fs::file_time_type::clock::now() - written > kAgeKept;
}

}  // namespace

// The tail tells without reading a journal of a million entries.
bool JournalClosed(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    const std::streamoff tail = std::min<std::streamoff>(size, 32);
    std::string end(static_cast<std::size_t>(tail), '\0');
    in.seekg(size - tail);
    if (!in.read(end.data(), tail)) {
        return false;
    }
    return EndsClosed(end);
}

std::vector<std::string> ListJournals(const std::string& folder) {
    std::vector<std::string> paths;
    std::error_code error;
    for (fs::directory_iterator it(PathOf(folder), error), end; !error && it != end;
         it.increment(error)) {
        const std::string path = Utf8Of(it->path());
        if (path.ends_with(kExtension)) {
            paths.push_back(path);
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

Result<std::string> ReadJournal(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) {
        return {{}, {kFileNotFound, 0, {}}};
    }
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return {{}, {kDeviceIoError, 0, {}}};
    }
    return {std::move(text)};
}

Failure RemoveJournal(const std::string& path) {
    std::error_code error;
    fs::remove(PathOf(path), error);
    return error ? Failure(kDeviceIoError, error.value(), {}) : Failure();
}

std::uint64_t JournalSequence(const std::string& path) {
    (void)path;
    return 0;
}

void PruneJournals(const std::string& folder) {
    const auto paths = ListJournals(folder);
    const std::size_t old = paths.size() > kRunsKept ? paths.size() - kRunsKept : 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if ((i < old || OldEnoughToGo(paths[i])) && JournalClosed(paths[i]) &&
            !JournalInUse(paths[i])) {
            std::error_code ignored;
            fs::remove(PathOf(paths[i]), ignored);
        }
    }
}

}  // namespace karuneo::journal
