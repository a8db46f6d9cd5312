// The Linux layer where the dropped folder meets other file systems: mount
// points inside it, and file systems that refuse RENAME_NOREPLACE. Mounting
// needs root (CI has it); elsewhere those cases are skipped, saying why.
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/dry_run/dry_run_file_system.h"
#include "engine/file_system_linux.h"
#include "engine/unnest.h"
#include "results/rules/reason_text.h"
#include "results/rules/status_text.h"
#include "tests/support/mounted_linux.h"
#include "tests/support/named_cases.h"
#include "tests/support/reason_sink.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_tree.h"
#include "tests/support/walk_harness.h"

namespace karuneo {
namespace {

using namespace karuneo::testing;

std::vector<Row> Walk(FileSystem& fs, const std::string& path) {
    RecordingSink sink;
    ProcessDroppedPath(path, fs, sink);
    return sink.rows;
}

// Each row as its status and its reason in English.
std::vector<std::string> Rows(FileSystem& fs, const std::string& path) {
    ReasonSink sink;
    ProcessDroppedPath(path, fs, sink);
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < sink.rows.size(); ++i) {
        rows.push_back(sink.rows[i].second + " " + sink.reasons[i]);
    }
    return rows;
}

std::vector<Row> OneRow(std::string_view status) {
    return {{"D", std::string(status)}};
}

struct MountCase {
    const char* name;
    std::vector<std::string> before;  // in D; M is the mount point
    const char* mount_at;
    std::vector<std::string> after;  // once unmounted
    std::string_view status;
};

const MountCase kMountCases[] = {
    {"TheSingleSubfolderIsAMountPoint", {"M/"}, "D/M", {"M/"}, kStatusUntouched},
    {"AMountPointEndsTheChainAndCannotMove", {"A/M/"}, "D/A/M", {"A/M/"}, kStatusError},
    {"AMountPointIsMovedBeforeTheFoldersBesideItAndFails",
     {"A/B/G/g", "A/B/M/"},
     "D/A/B/M",
     {"A/B/G/g", "A/B/M/"},
     kStatusError},
};

// The mounted folder holds Y/Z, which must all stay.
class MountTest : public ::testing::TestWithParam<std::tuple<const char*, MountCase>> {};

TEST_P(MountTest, AMountPointIsNeverDescendedIntoMovedOrRemoved) {
    const auto& [kind, c] = GetParam();
    const bool bind = std::string(kind) == "bind";
    WalkHarness walk(std::make_unique<LinuxFileSystem>(), {"Y/Z/"});
    walk.AddToDropped(c.before);
    const TempTree& tree = walk.tree();
    {
        const Mounted mounted(tree.Path("outside"), tree.Path(c.mount_at), bind ? nullptr : "tmpfs",
                              bind ? static_cast<unsigned long>(MS_BIND) : 0UL, "size=1m");
        if (!mounted.ok()) {
            GTEST_SKIP() << "cannot mount here (" << std::strerror(mounted.error())
                         << "); run as root to test mount points";
        }
        if (!bind) {
            tree.Add({"Y/Z/"}, c.mount_at);
        }
        walk.RunUnwrapped();
        EXPECT_EQ(walk.rows(), OneRow(c.status));
        EXPECT_EQ(Layout(tree.Take(c.mount_at)), Layout(Described({"Y/Z/"})));
    }
    EXPECT_EQ(Layout(walk.Dropped()), Layout(Described(c.after))) << "the chain keeps its own name";
    EXPECT_EQ(Layout(walk.Outside()), Layout(Described({"Y/Z/"})));
}

std::string MountCaseName(const ::testing::TestParamInfo<MountTest::ParamType>& info) {
    return std::string(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(BindAndTmpfs, MountTest,
                         ::testing::Combine(::testing::Values("bind", "tmpfs"),
                                            ::testing::ValuesIn(kMountCases)),
                         MountCaseName);

// What file systems without RENAME_NOREPLACE answer to it.
int RenameWithoutNoReplace(int from, const char* name, int to, const char* new_name,
                           unsigned int flags) {
    if (flags != 0) {
        errno = EINVAL;
        return -1;
    }
    return ::renameat2(from, name, to, new_name, 0);
}

struct FallbackCase {
    const char* name;
    std::vector<std::string> before;
    std::vector<std::string> after;
};

const FallbackCase kFallbackCases[] = {
    {"FilesAndFoldersMoveUp", {"A/B/f", "A/B/G/g", "A/B/H/"}, {"f", "G/g", "H/"}},
    {"AnEntryNamedLikeTheTopDoesNotClash", {"A/A/A/z", "A/A/x"}, {"A/z", "x"}},
};

// The case is built in `under`D of the tree and walked.
void ExpectFlattens(FileSystem& fs, const TempTree& tree, const std::string& under,
                    const FallbackCase& c) {
    const std::string dropped = under + "D";
    tree.Add(c.before, dropped);
    EXPECT_EQ(Walk(fs, tree.Path(dropped)), OneRow(kStatusDone));
    const auto after = tree.Take(dropped);
    EXPECT_EQ(Layout(after), Layout(Described(c.after)));
    EXPECT_EQ(FileContents(after), FileContents(Described(c.before)));
}

class NoReplaceFallbackCaseTest : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(NoReplaceFallbackCaseTest, FoldersMoveWhereRenameRefusesTheNoReplaceFlag) {
    LinuxFileSystem native(&RenameWithoutNoReplace);
    const TempTree tree;
    ExpectFlattens(native, tree, "", GetParam());
}

TEST(NoReplaceFallbackTest, AFolderThatAppearsInTheWayIsNeitherReplacedNorFilled) {
    WalkHarness walk(std::make_unique<LinuxFileSystem>(&RenameWithoutNoReplace), {"keep"});
    walk.AddToDropped({"A/B/G/g", "A/B/H/"});
    walk.fake().OnCall([&walk](int, Operation operation) {
        if (operation == Operation::kMoveEntries) {
            walk.AddToDropped({"G/theirs", "H/"});
        }
    });
    walk.Run();
    EXPECT_EQ(walk.rows(), OneRow(kStatusError));
    const auto after = walk.Dropped();
    EXPECT_EQ(after.at("G/theirs"), "file:G/theirs");
    EXPECT_EQ(after.count("G/g"), 0u);
    EXPECT_EQ(after.at("A/B/G/g"), "file:A/B/G/g");
}

// fuse2fs speaks the old FUSE rename, which answers EINVAL to the flag, as
// NFS and sshfs do.
TEST_P(NoReplaceFallbackCaseTest, FlattensOnARealFuseFileSystem) {
    if (std::system("command -v fuse2fs >/dev/null && command -v mke2fs >/dev/null") != 0) {
        GTEST_SKIP() << "fuse2fs or mke2fs missing (scripts/install-deps.sh installs them)";
    }
    TempTree tree;
    tree.Add({"mnt/"});
    const std::string image = tree.Path("ext4.img");
    const std::string mnt = tree.Path("mnt");
    const std::string make = "truncate -s 8M '" + image + "' && mke2fs -q -F -t ext4 '" + image +
                             "' && fuse2fs '" + image + "' '" + mnt + "' -o fakeroot";
    const Mounted mounted(mnt, std::system((make + " 2>/dev/null").c_str()) == 0);
    if (!mounted.ok()) {
        GTEST_SKIP() << "cannot mount a FUSE file system here; run as root with /dev/fuse";
    }
    LinuxFileSystem native;
    ExpectFlattens(native, tree, "mnt/", GetParam());
}

// FAT and exFAT through FUSE have neither RENAME_NOREPLACE nor hard links:
// nothing can move there without the risk of replacing, so nothing is, not
// even the chain's top (fusefat refuses its temporary name, and loses what a
// renamed folder held), and the reason says so rather than "no permission".
struct FatMount {
    const char* name;
    const char* tools;  // shell test that the tools are there
    const char* make;   // makes the image $IMG and mounts it at $MNT
};

const FatMount kFatMounts[] = {
    // The driver wants a block device: a loop device over the image, let
    // go of again once unmounted (autoclear).
    {"exFAT", "command -v mkfs.exfat && command -v mount.exfat-fuse",
     "mkfs.exfat \"$IMG\" && mount.exfat-fuse \"$(losetup -f --show \"$IMG\")\" \"$MNT\" && "
     "losetup -j \"$IMG\" -O NAME -n | xargs -r losetup -d"},
    {"FAT", "command -v mkfs.vfat && command -v fusefat",
     "mkfs.vfat \"$IMG\" && fusefat -o rw+ \"$IMG\" \"$MNT\""},
};

class NoSafeMoveTest : public ::testing::TestWithParam<FatMount> {};

TEST_P(NoSafeMoveTest, NothingMovesOnFatThroughFuseAndTheReasonSaysWhy) {
    const FatMount& fat = GetParam();
    if (std::system((std::string("{ ") + fat.tools + "; } >/dev/null").c_str()) != 0) {
        GTEST_SKIP() << fat.name << " tools missing (scripts/install-deps.sh installs them)";
    }
    TempTree tree;
    tree.Add({"mnt/"});
    const std::string make = "IMG='" + tree.Path("fat.img") + "' MNT='" + tree.Path("mnt") +
                             "'; truncate -s 32M \"$IMG\" && " + fat.make;
    const Mounted mounted(tree.Path("mnt"),
                          std::system(("{ " + make + "; } >/dev/null 2>&1").c_str()) == 0);
    if (!mounted.ok()) {
        GTEST_SKIP() << "cannot mount " << fat.name
                     << " here; run as root with loop devices and /dev/fuse";
    }
    tree.Add({"D/A/B/f1", "D/A/B/f2"}, "mnt");
    const auto before = tree.Take("mnt/D");
    LinuxFileSystem native;
    // The dry run tells it first, from the mount alone, changing nothing.
    std::ostringstream operations;
    dry_run::DryRunFileSystem preview(native, operations);
    const auto foreseen = Rows(preview, tree.Path("mnt/D"));
    EXPECT_EQ(tree.Take("mnt/D"), before);
    const auto done = Rows(native, tree.Path("mnt/D"));
    EXPECT_EQ(foreseen, done);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(
        done[0].rfind(std::string(kStatusError) + " could not rename \"A\": this file system "
                                                  "can move nothing without the risk of replacing",
                      0),
        0u)
        << done[0];
    EXPECT_EQ(tree.Take("mnt/D"), before) << "nothing moved, the chain under its own name";
}

// A batch's folders are made durable together, with one sync per local file
// system where little else waits to be written, and each folder on another
// (tmpfs here) by itself; a folder gone since is an error, not a success.
TEST(SyncFoldersTest, FoldersOnTwoFileSystemsAreSyncedAndOneGoneIsAnError) {
    TempTree tree;
    tree.Add({"disk/a/", "disk/b/", "mnt/"});
    const Mounted mounted("none", tree.Path("mnt"), "tmpfs", 0, "size=1m");
    if (!mounted.ok()) {
        GTEST_SKIP() << "cannot mount here (" << std::strerror(mounted.error())
                     << "); run as root to test across file systems";
    }
    tree.Add({"mnt/c/"});
    LinuxFileSystem native;
    ::sync();  // little waiting, most times: the one-per-file-system way is taken
    std::vector<EntryPath> roots;
    for (const char* folder : {"disk/a", "disk/b", "mnt/c"}) {
        roots.emplace_back(tree.Path(folder));
    }
    EXPECT_FALSE(native.SyncFolders(roots));
    std::filesystem::remove(tree.Path("mnt/c"));
    EXPECT_TRUE(native.SyncFolders(roots));
}

std::string DriverName(const ::testing::TestParamInfo<FatMount>& mount) {
    return mount.param.name;
}

INSTANTIATE_TEST_SUITE_P(Drivers, NoSafeMoveTest, ::testing::ValuesIn(kFatMounts), DriverName);

INSTANTIATE_TEST_SUITE_P(Trees, NoReplaceFallbackCaseTest, ::testing::ValuesIn(kFallbackCases),
                         CaseName());

}  // namespace
}  // namespace karuneo
