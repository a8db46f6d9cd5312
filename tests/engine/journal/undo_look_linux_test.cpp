// An undo gives the chain folders back as they were, beyond mode and times:
// the owner and group, extended attributes and access lists, which a folder
// made again would otherwise not have. Changing the owner needs root.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "results/rules/status_text.h"
#include "tests/support/journal_tree.h"

namespace karuneo {
namespace {

using testing::JournalTree;

struct Look {
    uid_t owner = 0;
    gid_t group = 0;
    std::string user_attribute;
    std::string access_list;
    friend bool operator==(const Look&, const Look&) = default;
};

std::string Attribute(const std::string& path, const char* name) {
    std::string value(256, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    return value;
}

Look LookOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return {info.st_uid, info.st_gid, Attribute(path, "user.origin"),
            Attribute(path, "system.posix_acl_access")};
}

// A POSIX access list as the kernel stores it: its owner, a named user, its
// group, the mask and the others.
std::string AccessListWithUser(std::uint32_t user) {
    struct Entry {
        std::uint16_t tag, perm;
        std::uint32_t id;
    };
    const std::uint32_t version = 2;
    const Entry entries[] = {
        {0x01, 7, ~0u}, {0x02, 5, user}, {0x04, 5, ~0u}, {0x10, 5, ~0u}, {0x20, 5, ~0u}};
    std::string bytes(reinterpret_cast<const char*>(&version), sizeof version);
    bytes.append(reinterpret_cast<const char*>(entries), sizeof entries);
    return bytes;
}

TEST(UndoLookTest, ChainFoldersComeBackWithTheirOwnerAttributesAndAccessList) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a folder to another owner needs root";
    }
    JournalTree run;
    run.tree().Add({"A/B/f1", "A/B/f2"}, "D");
    const std::string top = run.tree().Path("D/A");
    const std::string deepest = run.tree().Path("D/A/B");
    const std::string list = AccessListWithUser(4321);
    if (::setxattr(top.c_str(), "user.origin", "download", 8, 0) != 0 ||
        ::setxattr(deepest.c_str(), "system.posix_acl_access", list.data(), list.size(), 0) != 0) {
        GTEST_SKIP() << "this file system keeps no extended attributes: " << errno;
    }
    ASSERT_EQ(::chown(top.c_str(), 1234, 2345), 0);
    ASSERT_EQ(::chown(deepest.c_str(), 1235, 2346), 0);
    const Look top_before = LookOf(top);
    const Look deepest_before = LookOf(deepest);
    const auto tree_before = testing::TakeWithLooks(run.tree(), "D");

    run.Walk();
    ASSERT_EQ(run.Dropped().count("A"), 0u);
    run.Undo();

    EXPECT_EQ(run.rows().back().second, kStatusDone) << run.Reasons().back();
    EXPECT_EQ(LookOf(top), top_before);
    EXPECT_EQ(LookOf(deepest), deepest_before);
    EXPECT_EQ(testing::TakeWithLooks(run.tree(), "D"), tree_before);
}

}  // namespace
}  // namespace karuneo
