// Ctrl+C and SIGTERM during an extraction: the archive's row says it was
// stopped, nothing it made is left beside it, and no further path is taken.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/engine/extract/archive_maker.h"
#include "tests/reliability/cli_process.h"
#include "tests/support/temp_tree.h"

namespace karuneo {
namespace {

using testing::ArchivedEntry;
using testing::TempTree;

// Enough entries that the extraction is still going when the signal comes:
// it is sent once the temporary folder stands beside the archive.
constexpr int kArchivedEntries = 20000;

bool ExtractionUnderWay(const TempTree& tree) {
    for (const auto& entry : std::filesystem::directory_iterator(tree.root())) {
        if (entry.path().filename().string().starts_with("karuneo")) {
            return true;
        }
    }
    return false;
}

class ExtractSignalTest : public ::testing::TestWithParam<int> {};

TEST_P(ExtractSignalTest, StopsTheExtractionAndLeavesNothingOfIt) {
    TempTree tree;
    std::vector<ArchivedEntry> entries;
    for (int i = 0; i < kArchivedEntries; ++i) {
        entries.push_back({"W/f" + std::to_string(i), 'f', "x", {}, 0644});
    }
    testing::MakeArchive(tree.Path("arc.zip"), "zip", entries);
    tree.Add({"E/A/f"});
    const auto before = tree.Take("");

    const auto run =
        testing::SignalCliWhen({"-x", tree.Path("arc.zip"), tree.Path("E")}, GetParam(),
                               [&tree] { return ExtractionUnderWay(tree); });

    EXPECT_EQ(run.exit_code, 128 + GetParam());
    EXPECT_EQ(run.out, "arc.zip\tエラー\n");
    EXPECT_EQ(tree.Take(""), before) << "nothing made is left, E was not started";
}

std::string SignalName(const ::testing::TestParamInfo<int>& signal) {
    return signal.param == SIGINT ? "Sigint" : "Sigterm";
}

INSTANTIATE_TEST_SUITE_P(Signals, ExtractSignalTest, ::testing::Values(SIGINT, SIGTERM),
                         SignalName);

}  // namespace
}  // namespace karuneo
