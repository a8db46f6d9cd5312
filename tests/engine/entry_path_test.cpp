#include "engine/entry_path.h"

#include <gtest/gtest.h>

#include "engine/path_separator.h"

namespace karuneo {
namespace {

const std::string kSep(1, kPathSeparator);

TEST(EntryPathTest, ATrailingSeparatorNamesTheFolderBehindALinkButTheRootStays) {
    EXPECT_EQ(EntryPath("a" + kSep + "b" + kSep + kSep).Root(), "a" + kSep + "b" + kSep + ".");
    EXPECT_EQ(EntryPath("a" + kSep + "b").Root(), "a" + kSep + "b");
    EXPECT_EQ(EntryPath(kSep).Root(), kSep);
    EXPECT_EQ(EntryPath(kSep + kSep).Root(), kSep);
    EXPECT_EQ(EntryPath("").Root(), "");
}

TEST(EntryPathTest, NamesTheLastComponentAndJoinsChildren) {
    const EntryPath root("x" + kSep + "D");
    EXPECT_EQ(root.LastName(), "D");
    const EntryPath child = root.Child("A").Child("B");
    EXPECT_EQ(child.LastName(), "B");
    EXPECT_EQ(child.Joined(), "x" + kSep + "D" + kSep + "A" + kSep + "B");
    EXPECT_EQ(child.Parent().Parent().Joined(), root.Joined());
    EXPECT_TRUE(child.Parent().Parent().IsRoot());
    EXPECT_EQ(EntryPath(kSep).Child("tmp").Joined(), kSep + "tmp");
}

}  // namespace
}  // namespace karuneo
