// The parts of the journal's storage that every system shares: naming,
// listing, reading and pruning the journal folder, which is this program's
// own.
#include "engine/journal/journal_file.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cinttypes>
#include <compare>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <random>
#include <system_error>
#include <tuple>

#include "engine/journal/journal_record.h"

namespace karuneo::journal {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kRunsKept = 100;
constexpr auto kAgeKept = std::chrono::hours(24 * 30);
constexpr std::string_view kExtension = ".journal";
constexpr std::string_view kSequencePrefix = "run-";
// Other processes creating journals at the same moment take names from under
// this one; each costs one more try.
constexpr int kCreateAttempts = 1000;

fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string_view FileName(std::string_view path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

bool OldEnoughToGo(const std::string& path) {
    std::error_code error;
    const auto written = fs::last_write_time(PathOf(path), error);
    return !error && fs::file_time_type::clock::now() - written > kAgeKept;
}

// The paths in `folder` whose names end in `extension`, whatever they are.
std::vector<std::string> NamesEndingIn(const std::string& folder, std::string_view extension) {
    std::vector<std::string> paths;
    std::error_code error;
    for (fs::directory_iterator it(PathOf(folder), error), end; !error && it != end;
         it.increment(error)) {
        std::string path = Utf8Of(it->path());
        if (path.ends_with(extension)) {
            paths.push_back(std::move(path));
        }
    }
    return paths;
}

// What a CreateNew cut off between creating its file and naming it left.
void RemoveUnnamed(const std::string& folder) {
    for (const auto& path : NamesEndingIn(folder, native::kUnnamedExtension)) {
        native::RemoveUnlessHeld(path);
    }
}

std::string SequenceName(std::uint64_t sequence) {
    char name[48];
    std::snprintf(name, sizeof name, "run-%012" PRIu64 ".journal", sequence);
    return name;
}

std::string UnnamedName() {
    thread_local std::mt19937_64 random(std::random_device{}());
    char name[48];
    std::snprintf(name, sizeof name, "%016" PRIx64, static_cast<std::uint64_t>(random()));
    return name + std::string(native::kUnnamedExtension);
}

// 1 + the greatest sequence there; pruning keeps the newest runs, so the
// greatest is never pruned away for a later run to take again.
Result<std::uint64_t> NextSequence(const std::string& folder) {
    std::uint64_t greatest = 0;
    for (const auto& path : NamesEndingIn(folder, kExtension)) {
        greatest = std::max(greatest, JournalSequence(path));
    }
    if (greatest == std::numeric_limits<std::uint64_t>::max()) {
        return Failure(kOverflow);
    }
    return {greatest + 1};
}

}  // namespace

Result<std::unique_ptr<JournalFile>> JournalFile::CreateNew(const std::string& folder) {
    std::uint64_t last_taken = 0;
    return CreateNext(folder, last_taken);
}

Result<std::unique_ptr<JournalFile>> JournalFile::CreateNext(const std::string& folder,
                                                             std::uint64_t& last_taken) {
    Result<std::uint64_t> sequence{last_taken + 1};
    if (last_taken == 0) {
        if (auto error = native::MakeFolders(folder)) {
            return error;
        }
        RemoveUnnamed(folder);
        sequence = NextSequence(folder);
    } else if (last_taken == std::numeric_limits<std::uint64_t>::max()) {
        sequence = Failure(kOverflow);
    }
    if (!sequence.ok()) {
        return sequence.error();
    }
    const std::string prefix = folder + native::Separator();
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        auto created = CreateUnnamed(prefix + UnnamedName());
        if (created.error() == kFileAlreadyExists) {
            continue;  // the random name was taken, or another process clears it
        }
        if (!created.ok()) {
            return created;
        }
        Failure named = created.value()->TakeName(prefix + SequenceName(sequence.value()));
        // Another process began a run at the same moment and took the name.
        for (; named == kFileAlreadyExists && attempt < kCreateAttempts; ++attempt) {
            named = created.value()->TakeName(prefix + SequenceName(++sequence.value()));
        }
        if (!named) {
            last_taken = sequence.value();
            return created;
        }
        const std::string unnamed = created.value()->path();
        created.value().reset();
        (void)RemoveJournal(unnamed);  // a later start clears what stays
        // Not found: another process cleared the file before this one locked
        // it, and a new one takes its place.
        if (named != kPathNotFound) {
            return named;
        }
    }
    return Failure(kFileAlreadyExists);
}

std::uint64_t JournalSequence(const std::string& path) {
    std::string_view name = FileName(path);
    if (!name.starts_with(kSequencePrefix) || !name.ends_with(kExtension)) {
        return 0;
    }
    name.remove_prefix(kSequencePrefix.size());
    name.remove_suffix(kExtension.size());
    std::uint64_t sequence = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), sequence);
    return error == std::errc{} && end == name.data() + name.size() ? sequence : 0;
}

std::vector<std::string> ListJournals(const std::string& folder) {
    auto paths = NamesEndingIn(folder, kExtension);
    std::erase_if(paths, [](const std::string& path) { return !native::IsRegularFile(path); });
    std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return std::tuple(JournalSequence(a), a) < std::tuple(JournalSequence(b), b);
    });
    return paths;
}

Result<std::string> ReadJournal(const std::string& path) {
    return native::ReadRegularFile(path, native::Span::kWhole, kMaxJournalBytes);
}

Result<std::string> ReadJournalHead(const std::string& path, std::size_t bytes) {
    return native::ReadRegularFile(path, native::Span::kHead, std::min(bytes, kMaxJournalBytes));
}

Result<std::string> ReadJournalTail(const std::string& path, std::size_t bytes) {
    return native::ReadRegularFile(path, native::Span::kTail, std::min(bytes, kMaxJournalBytes));
}

// The tail tells without reading a journal of a million entries.
bool JournalClosed(const std::string& path) {
    const auto end = ReadJournalTail(path, 32);
    if (!end.ok()) {
        return false;
    }
    return EndsClosed(end.value());
}

std::int64_t JournalWrittenAt(const std::string& path) {
    std::error_code error;
    const auto written = fs::last_write_time(PathOf(path), error);
    if (error) {
        return 0;
    }
    const auto since_1970 = std::chrono::file_clock::to_sys(written).time_since_epoch();
    return std::chrono::duration_cast<std::chrono::seconds>(since_1970).count();
}

void PruneJournals(const std::string& folder) {
    RemoveUnnamed(folder);
    const auto paths = ListJournals(folder);
    const std::size_t old = paths.size() > kRunsKept ? paths.size() - kRunsKept : 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if ((i < old || OldEnoughToGo(paths[i])) && JournalClosed(paths[i]) &&
            !JournalInUse(paths[i])) {
            (void)RemoveJournal(paths[i]);  // kept one more time, no harm
        }
    }
}

}  // namespace karuneo::journal

namespace karuneo::journal::native {

std::optional<ByteRange> RangeToRead(Span span, std::uint64_t size, std::size_t bytes) {
    const std::uint64_t part = std::min<std::uint64_t>(size, bytes);
    switch (span) {
        case Span::kWhole:
            return size > kMaxJournalBytes ? std::nullopt : std::optional(ByteRange{0, size});
        case Span::kHead:
            return ByteRange{0, part};
        case Span::kTail:
            return ByteRange{size - part, part};
    }
    return std::nullopt;
}

}  // namespace karuneo::journal::native
