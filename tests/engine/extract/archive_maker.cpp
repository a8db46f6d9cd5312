#include "tests/engine/extract/archive_maker.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <filesystem>
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

#ifdef _WIN32
std::wstring Wide(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}
#endif

// Windows' libarchive marks names UTF-8 only when told so, and can only
// write them as UTF-8 from UTF-16: in the C locale it makes nothing else of
// them. Its tar writer wants them in the locale all the same, so a tar gets
// them as bytes, UTF-8 unmarked, as GNU tar writes them.
void CopyNames(archive_entry* entry, const ArchivedEntry& made, bool utf8) {
#ifdef _WIN32
    if (utf8) {
        archive_entry_copy_pathname_w(entry, Wide(made.name).c_str());
        if (made.kind == 'l') {
            archive_entry_copy_symlink_w(entry, Wide(made.link).c_str());
        } else if (made.kind == 'h') {
            archive_entry_copy_hardlink_w(entry, Wide(made.link).c_str());
        }
        return;
    }
#else
    (void)utf8;
#endif
    archive_entry_copy_pathname(entry, made.name.c_str());
    if (made.kind == 'l') {
        archive_entry_copy_symlink(entry, made.link.c_str());
    } else if (made.kind == 'h') {
        archive_entry_copy_hardlink(entry, made.link.c_str());
    }
}

void WriteEntry(archive* writer, const ArchivedEntry& made, bool utf8) {
    std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(),
                                                                   &archive_entry_free);
    CopyNames(entry.get(), made, utf8);
    archive_entry_set_filetype(entry.get(), TypeOf(made.kind));
    archive_entry_set_perm(entry.get(), static_cast<__LA_MODE_T>(made.mode));
    archive_entry_set_mtime(entry.get(), 1700000000, 0);
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
#ifdef _WIN32
    const bool tar = format.starts_with("tar");
    if (names == Names::kUtf8 && (tar || format == "zip")) {
        ASSERT_EQ(archive_write_set_options(writer.get(),
                                            tar ? "pax:hdrcharset=BINARY" : "zip:hdrcharset=UTF-8"),
                  ARCHIVE_OK)
            << archive_error_string(writer.get());
    }
    const std::filesystem::path native(std::u8string(path.begin(), path.end()));
    ASSERT_EQ(archive_write_open_filename_w(writer.get(), native.c_str()), ARCHIVE_OK);
#else
    ASSERT_EQ(archive_write_open_filename(writer.get(), path.c_str()), ARCHIVE_OK);
#endif
    for (const auto& entry : entries) {
#ifdef _WIN32
        WriteEntry(writer.get(), entry, names == Names::kUtf8 && !tar);
#else
        WriteEntry(writer.get(), entry, names == Names::kUtf8);
#endif
    }
    ASSERT_EQ(archive_write_close(writer.get()), ARCHIVE_OK);
}

}  // namespace karuneo::testing
