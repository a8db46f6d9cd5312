// The walk on real folders: each case is a tree inside the dropped folder D,
// the tree D must hold afterwards, and the one row it must report.
#include "engine/unnest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/entry_path.h"
#include "engine/nest_limit.h"
#include "engine/testing/failing_file_system.h"
#include "results/rules/status_text.h"
#include "tests/support/named_cases.h"
#include "tests/support/platform.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_tree.h"
#include "tests/support/walk_harness.h"

namespace karuneo {
namespace {

using testing::CanCreateLinks;
using testing::Described;
using testing::FailingFileSystem;
using testing::FileContents;
using testing::Layout;
using testing::Operation;
using testing::RecordingSink;
using testing::Row;
using testing::TempTree;
using testing::WalkHarness;

struct UnnestCase {
    const char* name;
    std::vector<std::string> before;
    std::vector<std::string> after;
    std::string_view status;
};

const UnnestCase kUnnestCases[] = {
    {"TwoFilesAtTheEndOfAChain", {"A/B/f1", "A/B/f2"}, {"f1", "f2"}, kStatusDone},
    {"EmptySingleSubfolder", {"A/"}, {}, kStatusDoneEmpty},
    {"OneFileOnly", {"f"}, {"f"}, kStatusUntouched},
    {"NothingAtAll", {}, {}, kStatusUntouched},
    {"TwoEntries", {"A/x", "b"}, {"A/x", "b"}, kStatusUntouched},
    {"SingleSubfolderHoldingOneFile", {"A/f"}, {"f"}, kStatusDone},
    {"TwoSubfoldersMoveWithTheirContents", {"A/B/x", "A/C/y"}, {"B/x", "C/y"}, kStatusDone},
    {"AnEntryNamedLikeTheTopDoesNotClash", {"A/A/A/z", "A/A/x"}, {"A/z", "x"}, kStatusDone},
    {"ADeepChain", {"A/B/C/D/E/f", "A/B/C/D/E/G/g"}, {"f", "G/g"}, kStatusDone},
    {"AHiddenFileBesideTheSingleSubfolder", {".h", "A/f"}, {".h", "f"}, kStatusDone},
    {"HiddenEntriesOfTheDeepestFolderMoveToo",
     {"A/B/.hidden", "A/B/f"},
     {".hidden", "f"},
     kStatusDone},
    {"ADeepestFolderOfHiddenEntriesOnlyLeavesDEmpty", {"A/.h"}, {".h"}, kStatusDoneEmpty},
    {"AHiddenFolderBesideTheChainKeepsItAndItsOriginalName",
     {"A/.git/config", "A/B/f"},
     {"A/.git/config", "f"},
     kStatusDone},
    {"AChainThatStaysBehindKeepsTheTemporaryNameWhenItsOwnIsTaken",
     {"A/.git/config", "A/B/A/z", "A/B/y"},
     {std::string(testing::kQueuedTempName) + "/.git/config", "A/z", "y"},
     kStatusDone},
    {"ALinkIsNoFolder", {"L->../outside"}, {"L->../outside"}, kStatusUntouched},
    {"ALinkInTheDeepestFolderMovesAsALink",
     {"A/L->../../outside", "A/f"},
     {"L->../../outside", "f"},
     kStatusDone},
    {"ALinkAsTheSingleEntryOfTheChain", {"A/L->../../outside"}, {"L->../../outside"}, kStatusDone},
    {"JapaneseNames", {"資料/写真/犬.jpg"}, {"犬.jpg"}, kStatusDone},
};

bool UsesLinks(const UnnestCase& c) {
    for (const auto& entry : c.before) {
        if (entry.find("->") != std::string::npos) {
            return true;
        }
    }
    return false;
}

class UnnestTest : public ::testing::Test {
  protected:
    void Run(const std::string& relative) { walk_.Run(relative); }
    std::vector<Row> Rows() const { return walk_.rows(); }

    WalkHarness walk_;
    const TempTree& tree_ = walk_.tree();
    FailingFileSystem& fake_ = walk_.fake();
};

class UnnestTreeTest : public ::testing::TestWithParam<UnnestCase> {};

TEST_P(UnnestTreeTest, FlattensChainsAndLeavesEverythingElse) {
    const UnnestCase& c = GetParam();
    if (UsesLinks(c) && !CanCreateLinks()) {
        GTEST_SKIP() << "this system cannot create symbolic links; the reparse cases stand in";
    }
    WalkHarness walk;
    walk.AddToDropped(c.before);

    walk.Run();

    const auto after = walk.Dropped();
    EXPECT_EQ(Layout(after), Layout(Described(c.after)));
    EXPECT_EQ(FileContents(after), FileContents(Described(c.before)));
    EXPECT_EQ(walk.Outside(), Described({"keep"}));
    EXPECT_EQ(walk.rows(), (std::vector<Row>{{"D", std::string(c.status)}}));
}

INSTANTIATE_TEST_SUITE_P(Trees, UnnestTreeTest, ::testing::ValuesIn(kUnnestCases),
                         testing::CaseName());

TEST_F(UnnestTest, IgnoresWhatIsNoFolder) {
    tree_.Add({"file"});
    std::vector<std::string> paths{"file", "missing", ""};
    if (CanCreateLinks()) {
        tree_.Add({"dangling->nowhere"});
        paths.push_back("dangling");
    }
    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        walk_.RunOnPath(path.empty() ? path : tree_.Path(path));
    }
    EXPECT_TRUE(Rows().empty());
}

TEST_F(UnnestTest, RefusesADroppedLinkToAFolder) {
    if (!CanCreateLinks()) {
        GTEST_SKIP() << "this system cannot create symbolic links";
    }
    tree_.Add({"real/A/f", "link->real"});
    Run("link");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"link", std::string(kStatusError)}}));
    EXPECT_EQ(Layout(tree_.Take("real")), Layout(Described({"A/f"})));
}

TEST_F(UnnestTest, IgnoresTrailingSeparatorsAndReportsTheFolderName) {
    tree_.Add({"A/f"}, "D");
    walk_.RunOnPath(tree_.Path("D") + "//");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"D", std::string(kStatusDone)}}));
}

// The path given is resolved once: the walk renames A, through which these
// paths run, and must still reach D and report its own name.
TEST_F(UnnestTest, APathThroughItsOwnChainIsResolvedOnce) {
    std::vector<std::string> paths{"D/A/..", "D/A/B/../.."};
    if (CanCreateLinks()) {
        paths.push_back("p/..");  // p -> D/A
    }
    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        WalkHarness walk;
        walk.AddToDropped({"A/B/f1", "A/B/f2"});
        if (CanCreateLinks()) {
            walk.tree().Add({"p->D/A"});
        }
        walk.RunUnwrapped(path);
        EXPECT_EQ(walk.rows(), (std::vector<Row>{{"D", std::string(kStatusDone)}}));
        EXPECT_EQ(Layout(walk.Dropped()), Layout(Described({"f1", "f2"})));
    }
}

TEST_F(UnnestTest, RetriesATemporaryNameThatClashesWithAHiddenEntry) {
    tree_.Add({".clash/keep", "A/B/f"}, "D");
    fake_.QueueTempNames({".clash.tmp", "fresh.tmp"});
    Run("D");
    EXPECT_EQ(Layout(tree_.Take("D")), Layout(Described({".clash/keep", "f"})));
    EXPECT_EQ(Rows(), (std::vector<Row>{{"D", std::string(kStatusDone)}}));
}

TEST_F(UnnestTest, KeepsNamesThatAreNotUtf8Intact) {
    if (!testing::kNamesAreBytes) {
        GTEST_SKIP() << "names on this system are UTF-16, not bytes";
    }
    const std::string odd = "\xff\xfe-\x80.txt";
    const std::string odd_folder = "dir-\xc3";
    tree_.Add({"A/B/" + odd}, odd_folder);
    Run(odd_folder);
    EXPECT_EQ(Layout(tree_.Take(odd_folder)), Layout(Described({odd})));
    EXPECT_EQ(Rows(), (std::vector<Row>{{odd_folder, std::string(kStatusDone)}}));
}

TEST_F(UnnestTest, CountsFoldersOfManyEntries) {
    constexpr int kEntries = testing::kManyEntries;
    tree_.AddEmptyFiles("D", kEntries);
    tree_.AddEmptyFiles("E/A", kEntries);
    Run("D");
    Run("E");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"D", std::string(kStatusUntouched)},
                                        {"E", std::string(kStatusDone)}}));
    EXPECT_EQ(tree_.Take("E").size(), static_cast<std::size_t>(kEntries));
}

TEST_F(UnnestTest, RefusesAbsurdlyDeepChainsWithoutChangingThem) {
    if (testing::RunsUnderWine()) {
        GTEST_SKIP() << "minutes under Wine; EndlessChainTest covers the walk there";
    }
    std::string chain = "D";
    for (int level = 0; level <= kMaxNestLevel + 1; ++level) {
        chain += "/d";
    }
    tree_.Add({chain + "/f"});
    const auto before = tree_.Take("D");
    Run("D");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"D", std::string(kStatusError)}}));
    EXPECT_EQ(tree_.Take("D"), before);
}

// A chain one level deeper than the walk may go, without the disk.
class EndlessChain final : public FileSystem {
  public:
    Result<std::string> FolderName(const EntryPath& folder) override { return {folder.LastName()}; }
    Failure ListEntries(const EntryPath& folder, const EntryVisitor& visit) override {
        const bool deepest = folder.Names().size() > static_cast<std::size_t>(kMaxNestLevel) + 1;
        visit(deepest ? Entry{"f", false, false} : Entry{"d", true, false});
        return Failure();
    }
    std::string GetTempName() override { return "tmpname.tmp"; }
    Failure RenamePlainFolder(const EntryPath&, const std::string& new_name) override {
        renames.push_back(new_name);
        return Failure();
    }
    Result<std::unique_ptr<EntryMover>> OpenMove(const EntryPath&, const EntryPath&) override {
        return {std::make_unique<MoverCalling>([this](const std::string&) {
            ++changes;
            return Failure();
        })};
    }
    Failure RemoveEmptyChild(const EntryPath&) override {
        ++changes;
        return Failure();
    }

    std::vector<std::string> renames;
    int changes = 0;
};

TEST(EndlessChainTest, AChainDeeperThanTheLimitIsAnErrorAndGetsItsNameBack) {
    EndlessChain chain;
    RecordingSink sink;
    ProcessDroppedPath(testing::TempTree().Path("D"), chain, sink);
    EXPECT_EQ(sink.rows, (std::vector<Row>{{"D", std::string(kStatusError)}}));
    EXPECT_EQ(chain.changes, 0);
    EXPECT_TRUE(chain.renames.empty() || chain.renames.back() == "d")
        << ::testing::PrintToString(chain.renames);
}

TEST_F(UnnestTest, AFailedMoveReportsOneErrorRowAndRestoresTheChain) {
    tree_.Add({"A/B/f1", "A/B/f2"}, "D");
    fake_.FailNthCall(Operation::kMoveEntries, 2, Failure(kPermissionDenied));
    Run("D");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"D", std::string(kStatusError)}}));
    // Which file moves first is the order the disk lists them in.
    const auto after = tree_.Take("D");
    EXPECT_EQ(after.size(), 4u) << "one file moved, the other stayed behind under A";
    EXPECT_NE(after.contains("A/B/f1"), after.contains("A/B/f2"));
    EXPECT_NE(after.contains("f1"), after.contains("f2"));
}

// Only a chain folder that still holds something may stay without a word;
// any other refusal to remove it (no permission, an append-only parent) is
// reported. Either way the moved files stay moved and the chain gets its
// own name back.
struct ChainFolderRefusal {
    const char* name;
    ErrorNumber error;
    std::string_view status;
};

const ChainFolderRefusal kChainFolderRefusals[] = {
    {"StillHoldsSomething", kFileAlreadyExists, kStatusDone},
    {"NoPermission", kPermissionDenied, kStatusError},
    {"DeviceError", kDeviceIoError, kStatusError},
};

class ChainFolderRefusalTest : public ::testing::TestWithParam<ChainFolderRefusal> {};

TEST_P(ChainFolderRefusalTest, AChainFolderThatCannotBeRemovedIsAnErrorUnlessItHoldsSomething) {
    WalkHarness walk;
    walk.AddToDropped({"A/B/f1", "A/B/f2"});
    walk.fake().FailNthCall(Operation::kRemoveEmptyFolder, 1, Failure(GetParam().error));
    walk.Run();
    EXPECT_EQ(walk.rows(), (std::vector<Row>{{"D", std::string(GetParam().status)}}));
    EXPECT_EQ(Layout(walk.Dropped()), Layout(Described({"f1", "f2", "A/B/"})));
}

INSTANTIATE_TEST_SUITE_P(Refusals, ChainFolderRefusalTest,
                         ::testing::ValuesIn(kChainFolderRefusals), testing::CaseName());

TEST_F(UnnestTest, NeverReplacesAnEntryThatAppearsInTheWay) {
    tree_.Add({"A/B/f"}, "D");
    fake_.OnCall([this](int, Operation operation) {
        if (operation == Operation::kMoveEntries) {
            tree_.Write("D/f", "theirs");
        }
    });
    Run("D");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"D", std::string(kStatusError)}}));
    const auto after = tree_.Take("D");
    EXPECT_EQ(after.at("f"), "file:theirs");
    EXPECT_EQ(after.at("A/B/f"), "file:A/B/f");
}

TEST_F(UnnestTest, AnExceptionFromTheSinkBecomesAnErrorRow) {
    struct ThrowingOnce final : ResultSink {
        void AddResult(std::string_view name, RowStatus status) override {
            if (!thrown) {
                thrown = true;
                throw std::runtime_error("full");
            }
            rows.emplace_back(name, StatusText(status));
        }
        bool thrown = false;
        std::vector<Row> rows;
    } sink;
    tree_.Add({"f"}, "D");
    ProcessDroppedPath(tree_.Path("D"), fake_, sink);
    EXPECT_EQ(sink.rows, (std::vector<Row>{{"D", std::string(kStatusError)}}));
}

TEST(GetBaseNameTest, DropsOnlyTheLastExtension) {
    EXPECT_EQ(GetBaseName("rad1A2B3.tmp"), "rad1A2B3");
    EXPECT_EQ(GetBaseName("a.b.tmp"), "a.b");
    EXPECT_EQ(GetBaseName("plain"), "plain");
    EXPECT_EQ(GetBaseName(".hidden"), ".hidden");
}

}  // namespace
}  // namespace karuneo
