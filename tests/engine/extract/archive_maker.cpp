#include "tests/engine/extract/archive_maker.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "engine/extract/utf8_names.h"

namespace karuneo::testing {
namespace {

void SetFormat(archive* writer, const std::string& format) {
    if (format == "zip") {
        archive_write_set_format_zip(writer);
    } else if (format == "7z") {
        archive_write_set_format_7zip(writer);
    } else {
        archive_write_set_format_pax_restricted(writer);
        if (format == "tar.gz") {
            archive_write_add_filter_gzip(writer);
        } else if (format == "tar.xz") {
            archive_write_add_filter_xz(writer);
        }
    }
}

unsigned TypeOf(char kind) {
    switch (kind) {
        case 'd':
            return AE_IFDIR;
        case 'l':
            return AE_IFLNK;
        case 'c':
            return AE_IFCHR;
        case 'p':
            return AE_IFIFO;
        default:
            return AE_IFREG;
    }
}

void WriteEntry(archive* writer, const ArchivedEntry& made) {
    std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(),
                                                                   &archive_entry_free);
    archive_entry_copy_pathname(entry.get(), made.name.c_str());
    archive_entry_set_filetype(entry.get(), TypeOf(made.kind));
    archive_entry_set_perm(entry.get(), made.mode);
    archive_entry_set_mtime(entry.get(), 1700000000, 0);
    if (made.kind == 'l') {
        archive_entry_copy_symlink(entry.get(), made.link.c_str());
    } else if (made.kind == 'h') {
        archive_entry_copy_hardlink(entry.get(), made.link.c_str());
    }
    const bool with_data = made.kind == 'f';
    archive_entry_set_size(entry.get(), with_data ? static_cast<la_int64_t>(made.data.size()) : 0);
    ASSERT_GE(archive_write_header(writer, entry.get()), ARCHIVE_WARN)
        << made.name << ": " << archive_error_string(writer);
    if (with_data && !made.data.empty()) {
        ASSERT_EQ(archive_write_data(writer, made.data.data(), made.data.size()),
                  static_cast<la_ssize_t>(made.data.size()));
    }
}

}  // namespace

void MakeArchive(const std::string& path, const std::string& format,
                 const std::vector<ArchivedEntry>& entries, Names names,
                 const std::string& passphrase) {
    // In a UTF-8 locale the writers mark names as UTF-8; in the C locale
    // they write the bytes as they are, unmarked.
    std::optional<extract::Utf8Names> utf8;
    if (names == Names::kUtf8) {
        utf8.emplace();
    }
    std::unique_ptr<archive, int (*)(archive*)> writer(archive_write_new(), &archive_write_free);
    SetFormat(writer.get(), format);
    if (!passphrase.empty()) {
        ASSERT_EQ(archive_write_set_options(writer.get(), "zip:encryption=zipcrypt"), ARCHIVE_OK)
            << archive_error_string(writer.get());
        ASSERT_EQ(archive_write_set_passphrase(writer.get(), passphrase.c_str()), ARCHIVE_OK);
    }
    ASSERT_EQ(archive_write_open_filename(writer.get(), path.c_str()), ARCHIVE_OK);
    for (const auto& entry : entries) {
        WriteEntry(writer.get(), entry);
    }
    ASSERT_EQ(archive_write_close(writer.get()), ARCHIVE_OK);
}

}  // namespace karuneo::testing
