// chattr's append-only and immutable flags refuse changes a folder's
// permissions allow: the dry run reads them and gives the real run's row and
// reason. Setting the flags needs root and a file system that keeps them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "engine/dry_run/dry_run_file_system.h"
#include "engine/file_system_linux.h"
#include "engine/result_sink.h"
#include "engine/unnest.h"
#include "results/rules/reason_text.h"
#include "results/rules/status_text.h"
#include "tests/support/named_cases.h"
#include "tests/support/temp_tree.h"

namespace karuneo::dry_run {
namespace {

using testing::TempTree;

struct FlagCase {
    const char* name;
    const char* flag;   // "+a" or "+i"
    const char* where;  // below the temporary tree
};

const FlagCase kFlagCases[] = {
    {"AppendOnlyFileInTheDeepestFolder", "+a", "D/A/B/f1"},
    {"AppendOnlyDroppedFolder", "+a", "D"},
    {"ImmutableDroppedFolder", "+i", "D"},
    {"ImmutableTopOfTheChain", "+i", "D/A"},
    {"AppendOnlyTopOfTheChain", "+a", "D/A"},
    {"AppendOnlyDeepestFolder", "+a", "D/A/B"},
    {"ImmutableDeepestFolder", "+i", "D/A/B"},
    {"ImmutableFolderInsideTheDeepest", "+i", "D/A/B/G"},
};

struct Outcome {
    std::vector<std::string> rows;  // status, then the reason in English

    bool operator==(const Outcome&) const = default;
};

class ReasonSink final : public ResultSink {
  public:
    explicit ReasonSink(Outcome& outcome) : outcome_(outcome) {}
    void AddResult(std::string_view, RowStatus status) override {
        outcome_.rows.emplace_back(StatusText(status));
    }
    void AddResultWithReason(std::string_view name, RowStatus status,
                             const RowReason& reason) override {
        AddResult(name, status);
        outcome_.rows.push_back(ReasonInEnglish(reason, name));
    }

  private:
    Outcome& outcome_;
};

// The tree, with the flag set, cleared again before the tree is removed.
class FlaggedTree {
  public:
    explicit FlaggedTree(const FlagCase& c) {
        tree_.Add({"A/B/f1", "A/B/f2", "A/B/G/g"}, "D");
        flagged_ = Chattr(std::string(c.flag) + " '" + tree_.Path(c.where) + "'");
    }
    ~FlaggedTree() { Chattr("-R -ia '" + tree_.Path("D") + "'"); }
    FlaggedTree(const FlaggedTree&) = delete;
    FlaggedTree& operator=(const FlaggedTree&) = delete;

    bool flagged() const { return flagged_; }
    const TempTree& tree() const { return tree_; }

  private:
    static bool Chattr(const std::string& arguments) {
        return std::system(("chattr " + arguments + " 2>/dev/null").c_str()) == 0;
    }

    TempTree tree_;
    bool flagged_ = false;
};

Outcome Walk(const FlaggedTree& flagged, bool dry) {
    Outcome outcome;
    ReasonSink sink(outcome);
    LinuxFileSystem native;
    std::ostringstream changes;
    DryRunFileSystem preview(native, changes);
    ProcessDroppedPath(flagged.tree().Path("D"), dry ? static_cast<FileSystem&>(preview) : native,
                       sink);
    return outcome;
}

class DryRunFlagsTest : public ::testing::TestWithParam<FlagCase> {};

TEST_P(DryRunFlagsTest, GivesTheRealRunsRowAndReason) {
    const FlaggedTree dry_tree(GetParam());
    if (!dry_tree.flagged()) {
        GTEST_SKIP() << "cannot set chattr flags here; run as root on ext4, xfs or btrfs";
    }
    const Outcome preview = Walk(dry_tree, true);
    const FlaggedTree real_tree(GetParam());
    const Outcome real = Walk(real_tree, false);
    EXPECT_EQ(preview, real);
    ASSERT_FALSE(real.rows.empty());
    EXPECT_EQ(real.rows.front(), "エラー");
}

INSTANTIATE_TEST_SUITE_P(Flags, DryRunFlagsTest, ::testing::ValuesIn(kFlagCases),
                         testing::CaseName());

}  // namespace
}  // namespace karuneo::dry_run
