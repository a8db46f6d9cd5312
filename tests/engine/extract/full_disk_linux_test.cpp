// An extraction onto a disk that fills up: the write the disk refuses gives
// エラー, and everything the extraction made is removed, so that the disk is
// as full as before and not fuller. A small tmpfs stands for the disk; its
// blocks and its inodes run out long before the free-space estimate would
// refuse the archive. Mounting needs root (CI has it); elsewhere skipped.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/engine/extract/archive_maker.h"
#include "tests/engine/extract/extract_test_harness.h"
#include "tests/support/mounted_linux.h"
#include "tests/support/temp_tree.h"

namespace karuneo::testing {
namespace {

std::vector<ArchivedEntry> SmallFiles(int count) {
    std::vector<ArchivedEntry> entries;
    for (int i = 0; i < count; ++i) {
        entries.push_back({"W/f" + std::to_string(i), 'f', "x", {}, 0644});
    }
    return entries;
}

TEST(ExtractOntoAFullDisk, TheRefusedWriteIsAnErrorAndNothingMadeStays) {
    struct Case {
        const char* name;
        const char* options;
    };
    // Each file takes a block of its own, or an inode of its own.
    for (const Case c : {Case{"blocks", "size=64k"}, Case{"inodes", "nr_inodes=40"}}) {
        SCOPED_TRACE(c.name);
        TempTree tree;
        tree.Add({"disk/"});
        MakeArchive(tree.Path("arc.zip"), "zip", SmallFiles(100));
        const Mounted mounted("tmpfs", tree.Path("disk"), "tmpfs", 0, c.options);
        if (!mounted.ok()) {
            GTEST_SKIP() << "cannot mount here (" << std::strerror(mounted.error())
                         << "); run as root to test a full disk";
        }
        // The archive is read from outside; the folder is made beside it, so
        // it is copied onto the small disk first, while it has room.
        std::filesystem::copy_file(tree.Path("arc.zip"), tree.Path("disk/arc.zip"));
        const Snapshot before = tree.Take("disk");
        const ExtractedRow row = Extract(tree.Path("disk/arc.zip"), false);
        EXPECT_EQ(row.status, "エラー");
        // The disk's own words, not the estimate's: that one counts bytes.
        EXPECT_EQ(row.reason.rfind("could not write \"W/f", 0), 0u) << row.reason;
        EXPECT_NE(row.reason.find("nothing was left behind"), std::string::npos) << row.reason;
        EXPECT_EQ(tree.Take("disk"), before);
    }
}

}  // namespace
}  // namespace karuneo::testing
