// 履歴's rows of extractions among the runs', from journals that real
// extractions wrote, and where the dialog's choices for them go.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/extract/extract_run.h"
#include "engine/extract/extraction_record.h"
#include "engine/native_file_system.h"
#include "engine/walk_control.h"
#include "tests/engine/extract/extract_test_harness.h"
#include "tests/support/journal_tree.h"
#include "tests/support/platform.h"
#include "tests/support/reason_sink.h"
#include "window/rules/run_history.h"
#include "window/worker/folder_work.h"

namespace karuneo {
namespace {

namespace fs = std::filesystem;
using testing::JournalTree;

// A row as the test reads it: the last name of what it is of, the state,
// then U, F and D for what it allows.
std::vector<std::string> Rows(const std::vector<HistoryRow>& rows) {
    std::vector<std::string> shown;
    for (const auto& row : rows) {
        shown.push_back(row.folder.substr(row.folder.find_last_of("/\\") + 1) + " " + row.state +
                        (row.can_undo ? " U" : "") + (row.can_finish ? " F" : "") +
                        (row.can_forget ? " D" : ""));
    }
    return shown;
}

void Choose(const HistoryRow& row, HistoryAction action, const std::string& journal_folder) {
    ASSERT_TRUE(Allows(row, action));
    const auto job = JobForChoice(ChoiceOf(row, action), journal_folder);
    testing::ReasonSink sink;
    job->work(job->path, *MakeNativeFileSystem(), sink, UninterruptedWalk());
}

TEST(ExtractionHistoryTest, ListedByTheirArchivesAmongTheRunsByWhenEachWasWritten) {
    JournalTree run;
    run.tree().Add({"D/A/B/f", "work/"});
    run.Walk();
    const std::string archive = run.tree().Path("work/arc.zip");
    testing::MakeArchive(archive, "zip", {testing::File("pkg/a")});
    extract::ExtractOptions options;
    options.journal_folder = run.journal_folder();
    testing::ReasonSink sink;
    extract::ExtractArchive(archive, *MakeNativeFileSystem(), sink, options);
    extract::ExtractArchive(archive, *MakeNativeFileSystem(), sink, options);  // into "arc (2)"
    {
        extract::ExtractionRecord cut(run.journal_folder());  // dropped open: as a killed process
        cut.Begin(run.tree().Path("work/cut.zip"), run.tree().Path("work"), "karuneo00000001.tmp");
        run.tree().Add({"work/karuneo00000001.tmp/pkg/a"});
        cut.Made(run.tree().Path("work/karuneo00000001.tmp"));
    }
    // Written an hour apart, in an order that is neither kind's alone.
    for (const auto& row : ReadRunHistory(run.journal_folder())) {
        const int hours = row.folder.ends_with("arc.zip") ? 4 : row.folder.ends_with("D") ? 3 : 2;
        fs::last_write_time(testing::PathFromUtf8(row.journal),
                            fs::file_time_type::clock::now() - std::chrono::hours(hours));
    }

    const auto rows = ReadRunHistory(run.journal_folder());
    EXPECT_EQ(Rows(rows), (std::vector<std::string>{"cut.zip 展開中断 F", "D 完了 U",
                                                    "arc.zip 展開済み U", "arc.zip 展開済み"}));
    ASSERT_EQ(rows.size(), 4u);
    Choose(rows[2], HistoryAction::kUndo, run.journal_folder());
    Choose(rows[0], HistoryAction::kFinish, run.journal_folder());
    // Only an archive's newest extraction is undone: an older one's folder
    // may hold what the user kept after undoing a newer one.
    EXPECT_EQ(Rows(ReadRunHistory(run.journal_folder())),
              (std::vector<std::string>{"cut.zip 展開中止", "arc.zip 展開を元に戻し済み",
                                        "D 完了 U", "arc.zip 展開済み"}));
    EXPECT_FALSE(fs::exists(testing::PathFromUtf8(run.tree().Path("work/arc (2)"))));

    // Deleted after extracting, the archive no longer names its extraction:
    // the folder it made does.
    fs::remove(testing::PathFromUtf8(archive));
    const auto gone = ReadRunHistory(run.journal_folder());
    EXPECT_EQ(Rows(gone),
              (std::vector<std::string>{"cut.zip 展開中止", "arc.zip 展開を元に戻し済み",
                                        "D 完了 U", "arc 展開済み U"}));
    ASSERT_EQ(gone.size(), 4u);
    Choose(gone[3], HistoryAction::kUndo, run.journal_folder());
    EXPECT_FALSE(fs::exists(testing::PathFromUtf8(run.tree().Path("work/arc"))));
}

}  // namespace
}  // namespace karuneo
