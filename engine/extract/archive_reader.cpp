#include "engine/extract/archive_reader.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstddef>
#include <optional>
#include <string_view>

#include "engine/reason/row_reason.h"
#ifdef _WIN32
#include <algorithm>

#include "engine/utf16_win32.h"
#endif

namespace karuneo::extract {
namespace {

// Large enough that a read costs few calls, small enough to stay in cache.
constexpr std::size_t kReadBlockBytes = 128 * 1024;

EntryType TypeOf(archive_entry* entry, bool hard_link) {
    if (hard_link) {
        return EntryType::kHardLink;
    }
    switch (archive_entry_filetype(entry)) {
        case AE_IFREG:
            return EntryType::kFile;
        case AE_IFDIR:
            return EntryType::kFolder;
        case AE_IFLNK:
            return EntryType::kSymlink;
        default:
            return EntryType::kSpecial;
    }
}

}  // namespace

// The formats of archives that hold their entries' data. Not mtree, whose
// "archive" is a list of files on this disk to read the data from: an
// archive given to extract must never make the program copy out a file it
// names. Not raw nor empty, which take any file for an archive.
ArchiveReader::ArchiveReader() : archive_(archive_read_new()) {
    archive_read_support_filter_all(archive_);
    archive_read_support_format_7zip(archive_);
    archive_read_support_format_ar(archive_);
    archive_read_support_format_cab(archive_);
    archive_read_support_format_cpio(archive_);
    archive_read_support_format_iso9660(archive_);
    archive_read_support_format_lha(archive_);
    archive_read_support_format_rar(archive_);
    archive_read_support_format_rar5(archive_);
    archive_read_support_format_tar(archive_);
    archive_read_support_format_xar(archive_);
    archive_read_support_format_zip(archive_);
}

ArchiveReader::~ArchiveReader() {
    archive_read_free(archive_);
}

Refusal ArchiveReader::Unreadable(const std::string& entry) const {
    const char* words = archive_error_string(archive_);
    return {ExtractProblem::kUnreadable, entry, words != nullptr ? words : "",
            archive_errno(archive_)};
}

Refusal ArchiveReader::Open(const std::string& path, const std::string& name_encoding) {
    if (archive_ == nullptr) {
        return {ExtractProblem::kUnreadable, {}, "out of memory"};
    }
    if (!name_encoding.empty()) {
        encoding_given_ = true;
        if (archive_read_set_options(archive_, ("hdrcharset=" + name_encoding).c_str()) !=
            ARCHIVE_OK) {
            return Unreadable({});
        }
    }
#ifdef _WIN32
    // The narrow call would read the path in the ANSI code page, which
    // cannot spell most names.
    const auto wide = win32::Utf16FromUtf8(path);
    if (!wide ||
        archive_read_open_filename_w(archive_, wide->c_str(), kReadBlockBytes) != ARCHIVE_OK) {
        return Unreadable({});
    }
#else
    if (archive_read_open_filename(archive_, path.c_str(), kReadBlockBytes) != ARCHIVE_OK) {
        return Unreadable({});
    }
#endif
    return {};
}

#ifdef _WIN32
// Windows' libarchive keeps a name it converted (marked UTF-8, or in the
// encoding given) as UTF-16, and in the "C" locale that Utf8Names sets
// gives one it left alone widened byte by byte. A unit past 0xFF can only
// be the former. Among the rest, bytes 0x80 to 0x9F are C1 controls, in no
// name ever converted, but lead most CP932 characters: those are bytes.
std::optional<std::string> ArchiveReader::Stored(archive_entry* header, Field field) const {
    const wchar_t* stored = field == Field::kPath      ? archive_entry_pathname_w(header)
                            : field == Field::kSymlink ? archive_entry_symlink_w(header)
                                                       : archive_entry_hardlink_w(header);
    if (stored == nullptr) {
        return std::nullopt;
    }
    const std::wstring_view units = stored;
    const bool widened =
        std::all_of(units.begin(), units.end(), [](wchar_t c) { return c <= 0xFF; });
    const bool control =
        std::any_of(units.begin(), units.end(), [](wchar_t c) { return c >= 0x80 && c <= 0x9F; });
    if (!widened || encoding_given_) {
        return win32::Utf8FromUtf16(units);
    }
    std::string bytes;
    for (const wchar_t c : units) {
        bytes += static_cast<char>(c);
    }
    if (!control && !IsUtf8(bytes)) {
        return win32::Utf8FromUtf16(units);
    }
    return NameOf(bytes);
}
#else
std::optional<std::string> ArchiveReader::Stored(archive_entry* header, Field field) const {
    const char* stored = field == Field::kPath ? archive_entry_pathname(header)
                         : field == Field::kSymlink ? archive_entry_symlink(header)
                                                    : archive_entry_hardlink(header);
    if (stored == nullptr) {
        return std::nullopt;
    }
    return NameOf(stored);
}
#endif

std::string ArchiveReader::NameOf(std::string_view bytes) const {
    if (encoding_given_ || IsUtf8(bytes)) {
        return std::string(bytes);
    }
    // A name that is no text in CP932 either keeps its bytes, as a name on
    // disk may.
    return ToUtf8(bytes, "CP932").value_or(std::string(bytes));
}

Refusal ArchiveReader::Next(ArchiveEntry& entry, bool& at_end) {
    archive_entry* header = nullptr;
    const int read = archive_read_next_header(archive_, &header);
    at_end = read == ARCHIVE_EOF;
    if (at_end) {
        return {};
    }
    const auto name = header != nullptr ? Stored(header, Field::kPath) : std::nullopt;
    if (read < ARCHIVE_WARN || !name) {
        return Unreadable(name.value_or(""));
    }
    const auto hard_link = Stored(header, Field::kHardLink);
    entry = ArchiveEntry{};
    entry.name = *name;
    entry.type = TypeOf(header, hard_link.has_value());
    entry.size = archive_entry_size_is_set(header) != 0 ? archive_entry_size(header) : 0;
    entry.mode = static_cast<std::uint32_t>(archive_entry_perm(header));
    entry.has_mtime = archive_entry_mtime_is_set(header) != 0;
    entry.mtime_s = archive_entry_mtime(header);
    entry.mtime_ns = archive_entry_mtime_nsec(header);
    entry.encrypted = archive_entry_is_encrypted(header) != 0;
    const auto link =
        entry.type == EntryType::kHardLink ? hard_link : Stored(header, Field::kSymlink);
    if (link) {
        entry.link = *link;
    } else if (entry.type == EntryType::kSymlink) {
        return Unreadable(entry.name);
    }
    return {};
}

Refusal ArchiveReader::ReadBlock(std::string_view& block, std::int64_t& offset, bool& done) {
    const void* data = nullptr;
    std::size_t size = 0;
    la_int64_t at = 0;
    const int read = archive_read_data_block(archive_, &data, &size, &at);
    done = read == ARCHIVE_EOF;
    if (done) {
        block = {};
        return {};
    }
    if (read < ARCHIVE_WARN) {
        return Unreadable({});
    }
    block = std::string_view(static_cast<const char*>(data), size);
    offset = at;
    return {};
}

}  // namespace karuneo::extract
