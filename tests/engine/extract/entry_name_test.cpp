// The rules that keep an archive's names and links inside the new folder.
#include "engine/extract/entry_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/extract/archive_name.h"

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

}  // namespace
}  // namespace karuneo::extract
