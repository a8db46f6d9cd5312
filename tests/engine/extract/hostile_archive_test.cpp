// Archives made to write outside the new folder, overwrite, or fill the disk:
// each gives an エラー row, and the folder of the archive is as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/engine/extract/archive_maker.h"
#include "tests/engine/extract/extract_test_harness.h"
#include "tests/support/temp_tree.h"

namespace karuneo::testing {
namespace {

struct Hostile {
    std::string name;
    std::vector<ArchivedEntry> entries;
    std::string reason;  // a part of the row's reason
    std::string format = "tar";
};

ArchivedEntry HardLink(const std::string& name, const std::string& target) {
    return {name, 'h', {}, target, 0644};
}

// Where Windows refuses it for another reason first.
#ifdef _WIN32
const std::string kLinksRefused = "symbolic link";
const std::string kBackslashInATar = "climbs out";  // libarchive takes it for "/" there
#else
const std::string kLinksRefused;
const std::string kBackslashInATar = "backslash";
#endif

std::string Or(const std::string& reason, const std::string& on_windows) {
    return on_windows.empty() ? reason : on_windows;
}

std::vector<Hostile> HostileArchives() {
    const ArchivedEntry fifo{"W/fifo", 'p', {}, {}, 0644};
    const ArchivedEntry device{"W/tty", 'c', {}, {}, 0644};
    return {
        {"a parent in the name", {File("W/a"), File("W/../../escaped")}, "climbs out"},
        {"a parent in a zip", {File("../escaped")}, "climbs out", "zip"},
        {"an absolute name", {File("/tmp/escaped")}, "from the top of a disk"},
        {"a drive letter", {File("C:/escaped")}, "drive letter", "zip"},
        {"a device name", {File("W/NUL.txt")}, "Windows device"},
        {"a COM port", {File("W/com1")}, "Windows device"},
        {"an empty part", {File("W//a")}, "empty or \".\" part"},
        {"a backslash", {File("W\\..\\escaped")}, kBackslashInATar},
        // libarchive reads a zip's backslashes as the separators Windows meant.
        {"a backslash in a zip", {File("W\\..\\escaped")}, "climbs out", "zip"},
        {"a link climbing out", {File("W/a"), Link("W/l", "../../escaped")}, "points outside"},
        {"an absolute link", {Link("W/l", "/etc/passwd")}, "points outside"},
        {"a climb after a name", {Link("W/l", "a/../../x")}, "points outside"},
        {"a link out once un-nested",
         {File("W/X/a"), Link("W/X/l", "../../a")},
         Or("points outside", kLinksRefused)},
        {"a write through a link",
         {Link("W/l", "."), File("W/l/a")},
         Or("two entries", kLinksRefused)},
        {"a hard link outside", {HardLink("W/h", "../outside")}, "hard link"},
        {"a hard link ahead", {HardLink("W/h", "W/a"), File("W/a")}, "hard link"},
        {"a FIFO", {File("W/a"), fifo}, "FIFO"},
        {"a device", {device}, "device"},
        {"two files of one name", {File("W/a"), File("W/a")}, "two entries"},
        {"a folder over a file", {File("W/a"), File("W/a/b")}, "two entries"},
        {"a file over a folder", {File("W/a/b"), File("W/a")}, "two entries"},
    };
}

TEST(HostileArchives, EachIsRefusedAndLeavesNothing) {
    for (const auto& hostile : HostileArchives()) {
        SCOPED_TRACE(hostile.name);
        TempTree tree;
        tree.Add({"sub/", "outside"});
        const std::string archive = "sub/arc." + hostile.format;
        MakeArchive(tree.Path(archive), hostile.format, hostile.entries);
        const Snapshot before = tree.Take("");

        const ExtractedRow preview = Extract(tree.Path(archive), true);
        const ExtractedRow row = Extract(tree.Path(archive), false);

        EXPECT_EQ(row.status, "エラー");
        EXPECT_NE(row.reason.find(hostile.reason), std::string::npos) << row.reason;
        EXPECT_NE(row.reason.find("nothing was left behind"), std::string::npos) << row.reason;
        EXPECT_EQ(preview.status, row.status);
        EXPECT_EQ(preview.reason, row.reason);
        EXPECT_EQ(tree.Take(""), before);
    }
}

TEST(HostileArchives, EncryptedEntriesAreRefused) {
    TempTree tree;
    MakeArchive(tree.Path("arc.zip"), "zip", {File("W/a")}, Names::kUtf8, "secret");
    const Snapshot before = tree.Take("");
    const ExtractedRow row = Extract(tree.Path("arc.zip"), false);
    EXPECT_EQ(row.status, "エラー");
    EXPECT_NE(row.reason.find("encrypted"), std::string::npos) << row.reason;
    EXPECT_EQ(tree.Take(""), before);
}

// Cut short, as a download that stopped: the data of the last file is
// missing, which the dry run finds where the real run does.
TEST(HostileArchives, ACutShortArchiveIsRefusedAlikeByBothRuns) {
    for (const std::string format : {"tar.gz", "zip"}) {
        SCOPED_TRACE(format);
        TempTree tree;
        const std::string archive = tree.Path("arc." + format);
        MakeArchive(archive, format,
                    {File("W/a"), {"W/big", 'f', std::string(1 << 20, 'x'), {}, 0644}});
        std::filesystem::resize_file(archive, std::filesystem::file_size(archive) / 2);
        const Snapshot before = tree.Take("");
        const ExtractedRow preview = Extract(archive, true);
        const ExtractedRow row = Extract(archive, false);
        EXPECT_EQ(row.status, "エラー");
        EXPECT_EQ(preview.reason, row.reason);
        EXPECT_EQ(tree.Take(""), before);
    }
}

// An mtree "archive" lists files of this disk to take the data from: read
// as an archive, it would copy out whatever file it names.
TEST(HostileArchives, AListOfFilesOnDiskIsNoArchive) {
    TempTree tree;
    tree.Add({"secret"});
    std::ofstream(tree.Path("arc.tar"))
        << "#mtree\n./stolen type=file contents=" << tree.Path("secret") << "\n";
    const Snapshot before = tree.Take("");
    const ExtractedRow row = Extract(tree.Path("arc.tar"), false);
    EXPECT_EQ(row.status, "エラー");
    EXPECT_NE(row.reason.find("cannot be read"), std::string::npos) << row.reason;
    EXPECT_EQ(tree.Take(""), before);
}

struct Bound {
    std::string name;
    extract::ExpansionBounds bounds;
    std::string reason;
};

// Ten megabytes of zeros gzip to about ten kilobytes.
TEST(HostileArchives, ExpansionBeyondABoundIsRefusedPartWay) {
    const std::vector<Bound> bounds = {
        {"total", {1 << 20, 1000, std::uint64_t{1} << 40}, "expand beyond 1048576 bytes"},
        {"ratio", {std::uint64_t{1} << 40, 100, 1 << 20}, "more than 100 times"},
    };
    for (const auto& bound : bounds) {
        SCOPED_TRACE(bound.name);
        TempTree tree;
        MakeArchive(tree.Path("arc.tar.gz"), "tar.gz",
                    {File("W/a"), {"W/zeros", 'f', std::string(10 << 20, '\0'), {}, 0644}});
        const Snapshot before = tree.Take("");
        extract::ExtractOptions options;
        options.bounds = bound.bounds;
        const ExtractedRow preview = Extract(tree.Path("arc.tar.gz"), true, options);
        const ExtractedRow row = Extract(tree.Path("arc.tar.gz"), false, options);
        EXPECT_EQ(row.status, "エラー");
        EXPECT_NE(row.reason.find(bound.reason), std::string::npos) << row.reason;
        EXPECT_EQ(preview.reason, row.reason);
        EXPECT_EQ(tree.Take(""), before);
    }
}

// The free space cannot be made small for a test: the count that the runs
// share is tested on its own, each bound where it starts to refuse.
TEST(HostileArchives, EachBoundRefusesOnlyPastItself) {
    struct Case {
        std::uint64_t bytes;
        std::uint64_t archive;
        std::uint64_t free;
        ExtractProblem expected;
    };
    // At most 1000 bytes, ten per byte of archive past 100, within the free space.
    const extract::ExpansionBounds bounds{1000, 10, 100};
    const std::vector<Case> cases = {
        {100, 1, 500, ExtractProblem::kNone},      {109, 10, 500, ExtractProblem::kNone},
        {110, 10, 500, ExtractProblem::kRatio},    {500, 100, 500, ExtractProblem::kNone},
        {501, 100, 500, ExtractProblem::kNoSpace}, {1001, 1000, 5000, ExtractProblem::kTooBig},
    };
    for (const auto& check : cases) {
        extract::ExpansionCount count(bounds, check.archive, check.free);
        EXPECT_EQ(count.Add(check.bytes, "e").problem, check.expected) << check.bytes;
    }
}

}  // namespace
}  // namespace karuneo::testing
