// What is extracted and un-nested is what the archive holds below its
// wrapper: each entry's path, kind, size, bytes, mode and link target.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/engine/extract/archive_maker.h"
#include "tests/engine/extract/extract_test_harness.h"
#include "tests/support/temp_tree.h"

namespace karuneo::testing {
namespace {

namespace fs = std::filesystem;

struct Found {
    char kind = 'f';
    std::string data;
    std::string link;
    unsigned mode = 0;

    friend bool operator==(const Found&, const Found&) = default;
};

std::ostream& operator<<(std::ostream& out, const Found& found) {
    return out << found.kind << ' ' << std::oct << found.mode << std::dec << ' '
               << found.data.size() << " bytes " << found.link;
}

std::map<std::string, Found> Read(const fs::path& folder) {
    std::map<std::string, Found> found;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::end(it); ++it) {
        struct stat info {};
        EXPECT_EQ(::lstat(it->path().c_str(), &info), 0);
        Found entry;
        entry.mode = info.st_mode & 07777;
        if (S_ISLNK(info.st_mode)) {
            entry = {'l', {}, fs::read_symlink(it->path()).string(), 0};
        } else if (S_ISDIR(info.st_mode)) {
            entry.kind = 'd';
        } else {
            std::ifstream in(it->path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            entry.data = bytes.str();
        }
        found[it->path().lexically_relative(folder).string()] = entry;
    }
    return found;
}

std::string RandomBytes(std::size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        byte = static_cast<char>(random());
    }
    return bytes;
}

std::vector<ArchivedEntry> WithoutHardLinks(std::vector<ArchivedEntry> entries) {
    std::erase_if(entries, [](const ArchivedEntry& entry) { return entry.kind == 'h'; });
    return entries;
}

TEST(ExtractRoundTrip, TheTreeBelowTheWrapperComesOutWhole) {
    const mode_t umask_before = ::umask(022);
    const std::vector<ArchivedEntry> entries = {
        {"W/", 'd', {}, {}, 0755},
        {"W/empty", 'f', {}, {}, 0644},
        {"W/big.bin", 'f', RandomBytes(3 << 20), {}, 0600},
        {"W/run.sh", 'f', "#!/bin/sh\n", {}, 0755},
        {"W/setuid", 'f', "s", {}, 04755},
        {"W/shared", 'f', "g", {}, 02777},
        {"W/readonly", 'f', "r", {}, 0444},
        {"W/locked/", 'd', {}, {}, 0500},
        {"W/locked/inside", 'f', "i", {}, 0644},
        {"W/sub/deep/x", 'f', "x", {}, 0640},
        {"W/sub/up", 'l', {}, "../run.sh", 0777},
        {"W/again", 'h', {}, "W/run.sh", 0755},
        // A folder's entry after its contents, as some archivers write it.
        {"W/late/f", 'f', "f", {}, 0644},
        {"W/late/", 'd', {}, {}, 0750},
    };
    // Permission bits only, as the umask leaves them; a folder stays the
    // owner's to enter and change.
    const std::map<std::string, Found> expected = {
        {"empty", {'f', "", "", 0644}},
        {"big.bin", {'f', entries[2].data, "", 0600}},
        {"run.sh", {'f', "#!/bin/sh\n", "", 0755}},
        {"setuid", {'f', "s", "", 0755}},
        {"shared", {'f', "g", "", 0755}},
        {"readonly", {'f', "r", "", 0444}},
        {"locked", {'d', "", "", 0700}},
        {"locked/inside", {'f', "i", "", 0644}},
        {"sub", {'d', "", "", 0755}},
        {"sub/deep", {'d', "", "", 0755}},
        {"sub/deep/x", {'f', "x", "", 0640}},
        {"sub/up", {'l', "", "../run.sh", 0}},
        {"again", {'f', "#!/bin/sh\n", "", 0755}},
        {"late", {'d', "", "", 0750}},
        {"late/f", {'f', "f", "", 0644}},
    };
    for (const std::string format : {"tar", "tar.xz", "zip"}) {
        SCOPED_TRACE(format);
        // A zip holds no hard links.
        const bool zip = format == "zip";
        TempTree tree;
        MakeArchive(tree.Path("arc." + format), format, zip ? WithoutHardLinks(entries) : entries);
        EXPECT_EQ(Extract(tree.Path("arc." + format), false).status, "完了");
        auto wanted = expected;
        if (zip) {
            wanted.erase("again");
        }
        EXPECT_EQ(Read(tree.root() / "arc"), wanted);
    }
    ::umask(umask_before);
}

}  // namespace
}  // namespace karuneo::testing
