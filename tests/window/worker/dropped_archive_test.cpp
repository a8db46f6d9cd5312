// An archive dropped on the window: left with a row that says how to have it
// extracted, or extracted, undone from its row, and finished at the next
// start when a crash cut it off. Real archives on the real disk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/extract/extraction_record.h"
#include "engine/native_file_system.h"
#include "engine/walk_control.h"
#include "tests/engine/extract/archive_maker.h"
#include "tests/engine/extract/extract_test_harness.h"
#include "tests/support/reason_sink.h"
#include "tests/support/temp_tree.h"
#include "window/worker/folder_work.h"

namespace karuneo::testing {
namespace {

// Keeps what the extraction last told of its progress.
class CountingControl final : public WalkControl {
  public:
    bool StopRequested() const override { return false; }
    void MoveProgress(long long, long long) override {}
    void ExtractProgress(long long entries, unsigned long long bytes) override {
        last_entries = entries;
        last_bytes = bytes;
    }

    long long last_entries = 0;
    unsigned long long last_bytes = 0;
};

class DroppedArchive : public ::testing::Test {
  protected:
    void SetUp() override {
        tree_.Add({"journal/", "work/D/A/f", "work/notes.txt"});
        MakeArchive(tree_.Path("work/arc.zip"), "zip", {File("pkg/a"), File("pkg/sub/b")});
    }

    // The rows, "name status: reason", of `work` on each path below work/.
    std::vector<std::string> Rows(const FolderWork& work, const std::vector<std::string>& paths) {
        const auto fs = MakeNativeFileSystem();
        ReasonSink sink;
        for (const auto& path : paths) {
            work(tree_.Path("work/" + path), *fs, sink, control_);
        }
        std::vector<std::string> rows;
        for (std::size_t i = 0; i < sink.rows.size(); ++i) {
            rows.push_back(sink.rows[i].first + " " + sink.rows[i].second + ": " + sink.reasons[i]);
        }
        return rows;
    }

    std::string Journal() const { return tree_.Path("journal"); }

    TempTree tree_;
    CountingControl control_;
};

TEST_F(DroppedArchive, LeftAsItIsWithARowThatSaysHowToExtractIt) {
    const auto rows = Rows(JournaledDrop(Journal(), DroppedArchives::kLeft),
                           {"arc.zip", "notes.txt", "gone.zip", "D"});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].rfind("arc.zip 未処理: it is an archive", 0), 0u) << rows[0];
    EXPECT_NE(rows[0].find("アーカイブも展開する"), std::string::npos) << rows[0];
    EXPECT_EQ(rows[1].rfind("D 完了", 0), 0u) << rows[1];
    EXPECT_EQ(Layout(tree_.Take("work")),
              Layout(Described({"D/", "D/f", "notes.txt", "arc.zip"})));  // nothing extracted
}

TEST_F(DroppedArchive, ExtractedUndoneFromItsRowAndOnlyOnce) {
    const auto extracted =
        Rows(JournaledDrop(Journal(), DroppedArchives::kExtracted), {"arc.zip", "notes.txt"});
    ASSERT_EQ(extracted.size(), 1u);  // a file that is no archive stays passed over
    EXPECT_EQ(extracted[0].rfind("arc.zip 完了: extracted into \"arc\"", 0), 0u) << extracted[0];
    EXPECT_EQ(Layout(tree_.Take("work/arc")), Layout(Described({"a", "sub/", "sub/b"})));
    EXPECT_EQ(control_.last_entries, 2);
    EXPECT_EQ(control_.last_bytes, std::string("pkg/a").size() + std::string("pkg/sub/b").size());

    const auto undo = UndoLastRunWork(Journal());
    const auto undone = Rows(undo, {"arc.zip"});
    ASSERT_EQ(undone.size(), 1u);
    EXPECT_NE(undone[0].find("was undone"), std::string::npos) << undone[0];
    EXPECT_EQ(Layout(tree_.Take("work")),
              Layout(Described({"D/", "D/A/", "D/A/f", "notes.txt", "arc.zip"})));
    const auto again = Rows(undo, {"arc.zip"});
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].rfind("arc.zip エラー: no extraction of this archive", 0), 0u) << again[0];
}

TEST_F(DroppedArchive, OneCutOffByACrashIsFinishedAtTheNextStartAsAJobOfItsArchive) {
    {
        extract::ExtractionRecord cut(Journal());  // dropped open: as a killed process
        cut.Begin(tree_.Path("work/arc.zip"), tree_.Path("work"), "karuneo00000001.tmp");
        tree_.Add({"work/karuneo00000001.tmp/pkg/a"});
        cut.Made(tree_.Path("work/karuneo00000001.tmp"));
    }
    const auto jobs = CutOffExtractionJobs(Journal());
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].path, tree_.Path("work/arc.zip"));
    EXPECT_EQ(jobs[0].kind, JobKind::kFinish);
    const auto rows = Rows(jobs[0].work, {"arc.zip"});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].find("was removed"), std::string::npos) << rows[0];
    EXPECT_EQ(Layout(tree_.Take("work")),
              Layout(Described({"D/", "D/A/", "D/A/f", "notes.txt", "arc.zip"})));
    EXPECT_TRUE(CutOffExtractionJobs(Journal()).empty());
}

}  // namespace
}  // namespace karuneo::testing
