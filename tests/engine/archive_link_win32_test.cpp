// The static libarchive of the Windows build (scripts/build-libarchive-mingw.sh)
// must not only link but work on Windows: its zlib really compresses, and
// names outside ASCII come back whole, whatever Windows' code page.
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/named_cases.h"

namespace {

using ArchiveReader = std::unique_ptr<archive, decltype(&archive_read_free)>;
using ArchiveWriter = std::unique_ptr<archive, decltype(&archive_write_free)>;

// libarchive 3.6.2 converts a name for its writers through the C runtime's
// locale, "C" here, which holds Latin-1 alone. Its zip writer is told to write
// UTF-8 instead (without it, it even dereferences a null name); its tar writer
// refuses a name outside the locale, so the tar cases keep to Latin-1. Reading,
// what the engine does, converts from UTF-8 whatever the locale.
struct Format {
    const char* name;
    int (*set_format)(archive*);
    bool gzip;
    const char* options;
    const wchar_t* folder;
    int read_format;
    int read_filter;
};

const Format kFormats[] = {
    {"Zip", archive_write_set_format_zip, false, "zip:compression=deflate,zip:hdrcharset=UTF-8",
     L"\u8cc7\u6599 \U00020BB7\u91ce\u5bb6", ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE},
    {"Tar", archive_write_set_format_pax_restricted, false, nullptr, L"caf\u00e9",
     ARCHIVE_FORMAT_TAR, ARCHIVE_FILTER_NONE},
    {"TarGz", archive_write_set_format_pax_restricted, true, nullptr, L"caf\u00e9",
     ARCHIVE_FORMAT_TAR, ARCHIVE_FILTER_GZIP},
};

struct Member {
    std::wstring path;
    bool folder;
    std::string data;
};

// Repetitive, so that a compressed archive is far smaller than its content.
std::vector<Member> MembersFor(const Format& format) {
    std::string text;
    while (text.size() < 64 * 1024) {
        text += "資料 line " + std::to_string(text.size() % 97) + "\n";
    }
    const std::wstring folder = format.folder;
    return {
        {folder, true, ""}, {folder + L"/\u00fcber.txt", false, text}, {L"plain.txt", false, "x"}};
}

la_ssize_t AppendTo(archive*, void* out, const void* bytes, size_t size) {
    static_cast<std::string*>(out)->append(static_cast<const char*>(bytes), size);
    return static_cast<la_ssize_t>(size);
}

void Write(const Format& format, const std::vector<Member>& members, std::string* out) {
    ArchiveWriter writer(archive_write_new(), archive_write_free);
    ASSERT_EQ(format.set_format(writer.get()), ARCHIVE_OK);
    if (format.gzip) {
        ASSERT_EQ(archive_write_add_filter_gzip(writer.get()), ARCHIVE_OK);
    }
    if (format.options != nullptr) {
        ASSERT_EQ(archive_write_set_options(writer.get(), format.options), ARCHIVE_OK)
            << archive_error_string(writer.get());
    }
    ASSERT_EQ(archive_write_open(writer.get(), out, nullptr, AppendTo, nullptr), ARCHIVE_OK);
    for (const Member& member : members) {
        std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                            archive_entry_free);
        archive_entry_copy_pathname_w(entry.get(), member.path.c_str());
        archive_entry_set_filetype(entry.get(), member.folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry.get(), member.folder ? 0755 : 0644);
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(member.data.size()));
        archive_entry_set_mtime(entry.get(), 1700000000, 0);
        ASSERT_EQ(archive_write_header(writer.get(), entry.get()), ARCHIVE_OK)
            << archive_error_string(writer.get());
        ASSERT_EQ(archive_write_data(writer.get(), member.data.data(), member.data.size()),
                  static_cast<la_ssize_t>(member.data.size()));
    }
    ASSERT_EQ(archive_write_close(writer.get()), ARCHIVE_OK) << archive_error_string(writer.get());
}

class ArchiveLinkTest : public ::testing::TestWithParam<Format> {};

TEST_P(ArchiveLinkTest, ReadsBackWhatItWrote) {
    const Format& format = GetParam();
    const std::vector<Member> members = MembersFor(format);
    std::string bytes;
    ASSERT_NO_FATAL_FAILURE(Write(format, members, &bytes));

    size_t content = 0;
    for (const Member& member : members) {
        content += member.data.size();
    }
    if (format.read_filter == ARCHIVE_FILTER_GZIP || format.read_format == ARCHIVE_FORMAT_ZIP) {
        EXPECT_LT(bytes.size(), content / 4) << "zlib did not compress";
    } else {
        EXPECT_GT(bytes.size(), content);
    }

    ArchiveReader reader(archive_read_new(), archive_read_free);
    archive_read_support_format_all(reader.get());
    archive_read_support_filter_all(reader.get());
    ASSERT_EQ(archive_read_open_memory(reader.get(), bytes.data(), bytes.size()), ARCHIVE_OK)
        << archive_error_string(reader.get());
    archive_entry* entry = nullptr;
    for (const Member& member : members) {
        ASSERT_EQ(archive_read_next_header(reader.get(), &entry), ARCHIVE_OK)
            << archive_error_string(reader.get());
        const wchar_t* path = archive_entry_pathname_w(entry);
        ASSERT_NE(path, nullptr);
        // Writers mark a folder with a trailing slash of their own.
        std::wstring read_path = path;
        if (archive_entry_filetype(entry) == AE_IFDIR && read_path.ends_with(L'/')) {
            read_path.pop_back();
        }
        EXPECT_EQ(read_path, member.path);
        EXPECT_EQ(archive_entry_filetype(entry), member.folder ? AE_IFDIR : AE_IFREG);
        std::string data;
        char block[8192];
        la_ssize_t got = 0;
        while ((got = archive_read_data(reader.get(), block, sizeof block)) > 0) {
            data.append(block, static_cast<size_t>(got));
        }
        ASSERT_EQ(got, 0) << archive_error_string(reader.get());
        EXPECT_EQ(data, member.data);
    }
    EXPECT_EQ(archive_read_next_header(reader.get(), &entry), ARCHIVE_EOF);
    EXPECT_EQ(archive_format(reader.get()) & ARCHIVE_FORMAT_BASE_MASK, format.read_format);
    EXPECT_EQ(archive_filter_code(reader.get(), 0), format.read_filter);
}

INSTANTIATE_TEST_SUITE_P(Formats, ArchiveLinkTest, ::testing::ValuesIn(kFormats),
                         karuneo::testing::CaseName());

}  // namespace
