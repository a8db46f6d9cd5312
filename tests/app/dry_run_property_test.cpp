// Random trees, each in three identical copies: the real run works on the
// first, the dry run on the second, and the operations the dry run printed
// are replayed on the third. The dry run must print the real run's lines and
// exit status, leave its copy as it was, and describe the real run's changes.
#include <gtest/gtest.h>
#include <rapidcheck.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "engine/native_file_system.h"
#include "engine/testing/failing_file_system.h"
#include "tests/app/operation_replay.h"
#include "tests/support/cli_reason_lines.h"
#include "tests/support/random_tree.h"
#include "tests/support/temp_tree.h"

namespace karuneo::cli {
namespace {

using testing::FailingFileSystem;
using testing::ReasonLines;
using testing::Snapshot;
using testing::TempTree;

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

// Both runs get the same temporary names, so that a chain left behind under
// one has the same name in both trees.
CliRun Run(std::vector<std::string> args) {
    const auto native = MakeNativeFileSystem();
    FailingFileSystem fs(*native);
    fs.QueueTempNames({"karuneo00000001.tmp", "karuneo00000002.tmp", "karuneo00000003.tmp"});
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(args, fs, out, err);
    return {status, out.str(), err.str()};
}

// One to three folders, the dropped folder and folders inside it, so that
// later folders see what earlier ones changed.
std::vector<std::string> Folders() {
    const auto count = *rc::gen::inRange(1, 4);
    std::vector<std::string> folders;
    for (int i = 0; i < count; ++i) {
        folders.push_back(*rc::gen::element<std::string>("D", "D", "D/A", "D/B", "D/A/A"));
    }
    return folders;
}

struct Copy {
    Copy(const std::vector<std::string>& entries, const std::vector<std::string>& folders) {
        tree.Add({"keep"}, "outside");
        tree.Add(entries, "D");
        for (const auto& folder : folders) {
            paths.push_back(tree.Path(folder));
        }
    }
    TempTree tree;
    std::vector<std::string> paths;
};

// A relative link that a run moves up leads elsewhere from there; given
// itself as a later folder, the dry run cannot tell where.
bool NamesAMovedLink(const std::vector<std::string>& entries,
                     const std::vector<std::string>& folders) {
    const bool link_a = std::any_of(entries.begin(), entries.end(), [](const std::string& entry) {
        return entry.find("A->") != std::string::npos;
    });
    return link_a && std::any_of(folders.begin(), folders.end(),
                                 [](const std::string& folder) { return folder != "D"; });
}

std::string UpToFirstError(const std::string& lines) {
    const std::string error = "\tエラー\n";
    return lines.substr(0, lines.find(error) + error.size());
}

void CheckDryRunMatchesRealRun() {
    const auto entries = testing::RandomTree();
    const auto folders = Folders();
    RC_PRE(!NamesAMovedLink(entries, folders));
    Copy real(entries, folders);
    Copy dry(entries, folders);
    Copy replayed(entries, folders);
    const Snapshot before = dry.tree.Take("");

    const CliRun real_run = Run(real.paths);
    std::vector<std::string> dry_args{"--dry-run"};
    dry_args.insert(dry_args.end(), dry.paths.begin(), dry.paths.end());
    const CliRun dry_run = Run(dry_args);

    RC_ASSERT(dry.tree.Take("") == before);
    RC_ASSERT(dry_run.status == real_run.status);
    RC_ASSERT(testing::Replay(dry_run.err, dry.tree.Path(""), replayed.tree.Path("")) == "");
    // A move that fails part-way leaves behind what the disk lists after the
    // failing entry. For a folder that an earlier folder of the same command
    // changed, that order is the file system's secret: from the first error
    // on, the runs may part.
    if (real_run.status != kExitOk && folders.size() > 1) {
        RC_ASSERT(UpToFirstError(dry_run.out) == UpToFirstError(real_run.out));
        return;
    }
    RC_ASSERT(dry_run.out == real_run.out);
    RC_ASSERT(ReasonLines(dry_run.err) == ReasonLines(real_run.err));
    RC_ASSERT(replayed.tree.Take("") == real.tree.Take(""));
}

int TreeCount() {
    const char* count = std::getenv("KARUNEO_DRY_RUN_TREES");
    return count != nullptr ? std::atoi(count) : 1'000;
}

TEST(DryRunPropertyTest, PrintsWhatARealRunDoesAndChangesNothing) {
    auto params = rc::detail::configuration().testParams;
    params.maxSuccess = TreeCount();
    rc::detail::TestMetadata metadata;
    metadata.id = "DryRunPropertyTest";
    const auto result = rc::detail::checkTestable(&CheckDryRunMatchesRealRun, metadata, params);
    if (!result.is<rc::detail::SuccessResult>()) {
        std::ostringstream message;
        rc::detail::printResultMessage(result, message);
        FAIL() << message.str();
    }
}

}  // namespace
}  // namespace karuneo::cli
