// The rules that keep an archive's names and links inside the new folder.
#include "engine/extract/entry_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "engine/extract/archive_name.h"
#include "engine/extract/utf8_names.h"

namespace karuneo::extract {
namespace {

struct NameCase {
    std::string name;
    std::vector<std::string> parts;
    ExtractProblem problem = ExtractProblem::kNone;
};

TEST(EntryName, SplitsOrRefuses) {
    using P = ExtractProblem;
    const std::vector<NameCase> cases = {
        {"a/b/c", {"a", "b", "c"}},
        {"./a/b/", {"a", "b"}},
        {"./", {}},
        {"a..b/..c", {"a..b", "..c"}},
        {"10:30 notes", {"10:30 notes"}},
        {"console.txt", {"console.txt"}},
        {"COM10", {"COM10"}},
        {"/a", {}, P::kAbsoluteName},
        {"a/../b", {}, P::kParentName},
        {"..", {}, P::kParentName},
        {"c:x", {}, P::kDriveName},
        {"a/con", {}, P::kDeviceName},
        {"Lpt9.log", {}, P::kDeviceName},
        {"aux .txt", {}, P::kDeviceName},
        {"com0", {}, P::kDeviceName},
        {"W/Conout$.log", {}, P::kDeviceName},
        {"lpt\xc2\xb2", {}, P::kDeviceName},
        {"a//b", {}, P::kEmptyPart},
        {"a/./b", {}, P::kEmptyPart},
        {"a\\b", {}, P::kBackslashName},
        {std::string(256, 'n'), {}, P::kLongName},
    };
    for (const auto& check : cases) {
        const SplitName split = SplitEntryName(check.name);
        EXPECT_EQ(split.parts, check.parts) << check.name;
        EXPECT_EQ(split.problem, check.problem) << check.name;
    }
}

TEST(EntryName, LinksStayInsideOnlyClimbingFirstAndNotTooFar) {
    struct LinkCase {
        std::string target;
        std::size_t depth;
        bool inside;
    };
    const std::vector<LinkCase> cases = {
        {"a", 0, true},      {"./a/b", 0, true},   {"../a", 1, true},         {"../../a", 1, false},
        {"../a", 0, false},  {"a/../b", 3, false}, {"/etc/passwd", 9, false}, {"C:/x", 9, false},
        {"..\\x", 9, false}, {"", 0, false},
    };
    for (const auto& check : cases) {
        EXPECT_EQ(LinkStaysInside(check.target, check.depth), check.inside)
            << check.target << " from depth " << check.depth;
    }
}

TEST(ArchiveName, LosesOnlyTheArchiveExtensions) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"foo.tar.gz", "foo"}, {"foo.TGZ", "foo"},    {"foo.zip", "foo"},
        {"x.7z", "x"},         {"a.b.tar.xz", "a.b"}, {"v1.0.tar.zst", "v1.0"},
        {"foo.gz", ""},        {"notes.txt", ""},     {".zip", ""},
    };
    for (const auto& [file, folder] : cases) {
        EXPECT_EQ(FolderNameOfArchive(file), folder) << file;
    }
    EXPECT_EQ(NumberedName("foo", 1), "foo");
    EXPECT_EQ(NumberedName("foo", 2), "foo (2)");
}

// By iconv's names on Linux, by the code pages they stand for on Windows.
TEST(Utf8Names, NamesAreReadInTheEncodingGivenOrNotAtAll) {
    const std::vector<std::tuple<std::string, const char*, std::optional<std::string>>> cases = {
        {"\x82\xa0.txt", "CP932", "\xe3\x81\x82.txt"},
        {"\x82\xa0", "SHIFT_JIS", "\xe3\x81\x82"},
        {"\x8e", "CP437", "\xc3\x84"},
        {"\xe3\x81\x82", "UTF-8", "\xe3\x81\x82"},
        {"", "CP932", ""},
        {"a\x82", "CP932", std::nullopt},  // a lead byte without its second
        {"\xff\xfe", "UTF-8", std::nullopt},
        {"a", "NO-SUCH-ENCODING", std::nullopt},
    };
    for (const auto& [bytes, from, text] : cases) {
        EXPECT_EQ(ToUtf8(bytes, from), text) << from << ": " << bytes;
    }
}

}  // namespace
}  // namespace karuneo::extract
