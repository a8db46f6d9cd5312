#include "engine/file_system.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "engine/dry_run/dry_run_file_system.h"
#include "engine/entry_path.h"
#include "engine/native_file_system.h"
#include "engine/unnest.h"
#include "results/rules/status_text.h"
#include "tests/support/named_cases.h"
#include "tests/support/reason_sink.h"
#include "tests/support/temp_tree.h"

namespace karuneo {
namespace {

struct UnsafeName {
    const char* name;
    std::string text;
};

// Every name here would, joined to a folder, reach another entry than a
// child of it, or one the system would read cut short.
const UnsafeName kUnsafeNames[] = {
    {"Empty", ""},
    {"Dot", "."},
    {"DotDot", ".."},
    {"Separator", "x/y"},
    {"ParentThenName", "../y"},
    {"Nul", std::string("y\0z", 3)},
#ifdef _WIN32
    {"Backslash", "..\\y"},
    {"StreamOfAFile", "y:z"},
#endif
};

class UnsafeNameTest : public ::testing::TestWithParam<UnsafeName> {
  protected:
    // D/A holds y; D/B is empty: whatever a guard lets through moves y.
    UnsafeNameTest() { tree_.Add({"D/A/y", "D/A/x/", "D/B/"}); }

    void ExpectRefusedOnEveryLayer() {
        const auto native = MakeNativeFileSystem();
        std::ostringstream operations;
        dry_run::DryRunFileSystem dry(*native, operations);
        const testing::Snapshot before = tree_.Take("D");
        for (FileSystem* fs : {native.get(), static_cast<FileSystem*>(&dry)}) {
            const EntryPath d(tree_.Path("D"));
            const std::string name = GetParam().text;
            EXPECT_EQ(fs->MoveEntries(d.Child("A"), {&name, 1}, d.Child("B")), kBadFileName);
            EXPECT_EQ(fs->RenameFolder(d.Child("A"), name), kBadFileName);
        }
        EXPECT_EQ(tree_.Take("D"), before);
        EXPECT_EQ(operations.str(), "");
    }

    testing::TempTree tree_;
};

TEST_P(UnsafeNameTest, IsRefusedAndNothingChanges) {
    ExpectRefusedOnEveryLayer();
}

INSTANTIATE_TEST_SUITE_P(Names, UnsafeNameTest, ::testing::ValuesIn(kUnsafeNames),
                         testing::CaseName());

TEST(FileSystemTest, TheDroppedFolderItselfIsNeverRenamedOrRemoved) {
    testing::TempTree tree;
    tree.Add({"D/"});
    const auto native = MakeNativeFileSystem();
    const EntryPath d(tree.Path("D"));
    EXPECT_EQ(native->RenameFolder(d, "E"), kBadFileName);
    EXPECT_EQ(native->RemoveEmptyFolder(d), kBadFileName);
    EXPECT_EQ(tree.Take(""), testing::Described({"D/"}));
}

TEST(FileSystemTest, TemporaryNamesAreLowerCaseAndDoNotRepeat) {
    const auto native = MakeNativeFileSystem();
    const std::regex form("karuneo[0-9a-f]{8}\\.tmp");
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        const std::string name = native->GetTempName();
        EXPECT_TRUE(std::regex_match(name, form)) << name;
        seen.insert(name);
    }
    EXPECT_EQ(seen.size(), 1000u);
}

// Two runs of this program in one tree: a folder the first has claimed is
// refused to the second, which then changes nothing, until the first lets go.
TEST(FileSystemTest, AFolderOneRunClaimsIsRefusedToAnotherUntilReleased) {
    testing::TempTree tree;
    tree.Add({"A/B/f"}, "D");
    const auto before = tree.Take("D");
    const auto first = MakeNativeFileSystem();
    const EntryPath d(tree.Path("D"));
    first->HoldRoot(d);
    ASSERT_EQ(first->ClaimFolder(d.Child("A")), kNoError);
    EXPECT_EQ(first->ClaimFolder(d.Child("A")), kNoError);  // its own claim, again

    const auto second = MakeNativeFileSystem();
    testing::ReasonSink sink;
    ProcessDroppedPath(tree.Path("D"), *second, sink);
    EXPECT_EQ(sink.rows, (std::vector<testing::Row>{{"D", std::string(kStatusError)}}));
    ASSERT_EQ(sink.reasons.size(), 1u);
    EXPECT_NE(sink.reasons[0].find("another run is working in this folder"), std::string::npos)
        << sink.reasons[0];
    EXPECT_EQ(tree.Take("D"), before);

    first->ReleaseRoot(d);
    second->HoldRoot(d);
    EXPECT_EQ(second->ClaimFolder(d.Child("A")), kNoError);
    second->ReleaseRoot(d);
}

}  // namespace
}  // namespace karuneo
