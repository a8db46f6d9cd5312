#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/extract/refusal.h"
#include "engine/extract/utf8_names.h"

// Declared here, or the member below would declare one of this namespace.
struct archive;        // IWYU pragma: keep
struct archive_entry;  // IWYU pragma: keep

namespace karuneo::extract {

enum class EntryType { kFile, kFolder, kSymlink, kHardLink, kSpecial };

// One entry of an archive's table of contents, its names in UTF-8 where
// they could be read as text.
struct ArchiveEntry {
    std::string name;
    EntryType type = EntryType::kFile;
    std::int64_t size = 0;  // as the header says; the data may say otherwise
    std::uint32_t mode = 0644;
    bool has_mtime = false;
    std::int64_t mtime_s = 0;
    long mtime_ns = 0;
    std::string link;  // a symbolic link's target, or the entry a hard link names
    bool encrypted = false;
};

// Reads an archive entry by entry, in one pass, with libarchive. Names are
// UTF-8 when the archive says so; otherwise taken as UTF-8 when they are,
// and else as CP932, the code page Japanese Windows writes zip names in.
// A `name_encoding` given overrides that guess for every name not marked.
class ArchiveReader {
  public:
    ArchiveReader();
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    Refusal Open(const std::string& path, const std::string& name_encoding);
    // The next entry's header; `at_end` once there is none.
    Refusal Next(ArchiveEntry& entry, bool& at_end);
    // The next block of the entry's data and where it goes in the file;
    // `done` once the entry has no more.
    Refusal ReadBlock(std::string_view& block, std::int64_t& offset, bool& done);

  private:
    enum class Field { kPath, kSymlink, kHardLink };
    // The field's name in UTF-8, none when the entry has none.
    std::optional<std::string> Stored(archive_entry* header, Field field) const;
    std::string NameOf(std::string_view stored) const;
    Refusal Unreadable(const std::string& entry) const;

    Utf8Names utf8_;
    struct archive* archive_;
    bool encoding_given_ = false;
};

}  // namespace karuneo::extract
