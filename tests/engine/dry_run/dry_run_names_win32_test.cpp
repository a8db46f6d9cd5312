// Names made on another system that Windows lists but refuses to change, as
// Wine shows a Linux folder: the dry run refuses each where the real run
// does, with the same reason, as an entry moving up and as a chain's top.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "engine/dry_run/dry_run_file_system.h"
#include "engine/native_file_system.h"
#include "engine/unnest.h"
#include "results/rules/status_text.h"
#include "tests/support/named_cases.h"
#include "tests/support/platform.h"
#include "tests/support/reason_sink.h"
#include "tests/support/temp_tree.h"
#include "tests/support/win32/unix_side.h"

namespace karuneo {
namespace {

using testing::ShellQuoted;

struct RefusedName {
    std::string name;
    std::string folder;  // below D, made first
    std::string file;    // below D
};

class DryRunNamesTest : public ::testing::TestWithParam<RefusedName> {};

TEST_P(DryRunNamesTest, TheDryRunRefusesWhatTheRealRunRefuses) {
    if (!testing::RunsUnderWine()) {
        GTEST_SKIP() << "such names are made from the Linux side of Wine";
    }
    const testing::TempTree tree;
    const testing::UnixSideCleanUp clean_up(tree.Path(""));
    const RefusedName& refused = GetParam();
    ASSERT_TRUE(testing::RunOnUnixSide("cd " + ShellQuoted(testing::UnixPath(tree.Path(""))) +
                                       " && mkdir -p " + ShellQuoted("D/" + refused.folder) +
                                       " && : > " + ShellQuoted("D/" + refused.file)));
    const std::string dropped = tree.Path("D").substr(4);  // without "\\?\", as a user gives it
    const auto native = MakeNativeFileSystem();
    std::ostringstream operations;
    dry_run::DryRunFileSystem preview(*native, operations);
    testing::ReasonSink dry;
    testing::ReasonSink real;
    ProcessDroppedPath(dropped, preview, dry);
    ProcessDroppedPath(dropped, *native, real);

    EXPECT_EQ(real.rows, (std::vector<testing::Row>{{"D", std::string(kStatusError)}}));
    EXPECT_EQ(dry.rows, real.rows);
    EXPECT_EQ(dry.reasons, real.reasons);
    EXPECT_NE(real.reasons.at(0).find("Windows"), std::string::npos) << real.reasons.at(0);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DryRunNamesTest,
    ::testing::Values(RefusedName{"Bar", "A", "A/p|s"}, RefusedName{"Question", "A", "A/q?"},
                      RefusedName{"Star", "A", "A/st*r"}, RefusedName{"Quote", "A", "A/qu\"o"},
                      RefusedName{"Greater", "A", "A/g>t"}, RefusedName{"Less", "A", "A/<lt>"},
                      RefusedName{"FolderEntry", "A/x|y", "A/x|y/f"},
                      RefusedName{"ChainTop", "a:b", "a:b/f"}),
    testing::CaseName());

}  // namespace
}  // namespace karuneo
