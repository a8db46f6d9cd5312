#include "engine/extract/archive_reader.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstddef>
#include <optional>

#include "engine/reason/row_reason.h"

struct archive_entry;

namespace karuneo::extract {
namespace {

// Large enough that a read costs few calls, small enough to stay in cache.
constexpr std::size_t kReadBlockBytes = 128 * 1024;

EntryType TypeOf(archive_entry* entry) {
    if (archive_entry_hardlink(entry) != nullptr) {
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
    if (archive_read_open_filename(archive_, path.c_str(), kReadBlockBytes) != ARCHIVE_OK) {
        return Unreadable({});
    }
    return {};
}

std::string ArchiveReader::NameOf(const char* stored) const {
    const std::string_view bytes = stored;
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
    const char* name = header != nullptr ? archive_entry_pathname(header) : nullptr;
    if (read < ARCHIVE_WARN || name == nullptr) {
        return Unreadable(name != nullptr ? NameOf(name) : "");
    }
    entry = ArchiveEntry{};
    entry.name = NameOf(name);
    entry.type = TypeOf(header);
    entry.size = archive_entry_size_is_set(header) != 0 ? archive_entry_size(header) : 0;
    entry.mode = static_cast<std::uint32_t>(archive_entry_perm(header));
    entry.has_mtime = archive_entry_mtime_is_set(header) != 0;
    entry.mtime_s = archive_entry_mtime(header);
    entry.mtime_ns = archive_entry_mtime_nsec(header);
    entry.encrypted = archive_entry_is_encrypted(header) != 0;
    const char* link = entry.type == EntryType::kHardLink ? archive_entry_hardlink(header)
                                                          : archive_entry_symlink(header);
    if (link != nullptr) {
        entry.link = NameOf(link);
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
