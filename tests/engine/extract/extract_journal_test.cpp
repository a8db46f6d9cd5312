// An extraction undone, refused an undo, and cut off: what its journal lets
// the next command do, and what it never lets it touch.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "engine/extract/extract_recovery.h"
#include "engine/extract/extraction_record.h"
#include "tests/engine/extract/archive_maker.h"
#include "tests/engine/extract/extract_test_harness.h"
#include "tests/support/reason_sink.h"
#include "tests/support/temp_tree.h"

namespace karuneo::testing {
namespace {

class ExtractJournal : public ::testing::Test {
  protected:
    void SetUp() override {
        tree_.Add({"journal/", "work/"});
        journal_ = tree_.Path("journal");
        MakeArchive(tree_.Path("work/arc.tar"), "tar", {File("W/a"), File("W/sub/b")});
    }

    ExtractedRow ExtractJournaled() {
        extract::ExtractOptions options;
        options.journal_folder = journal_;
        return Extract(tree_.Path("work/arc.tar"), false, options);
    }

    // The row of an undo, or none when no extraction made the folder.
    std::optional<std::string> Undo(bool dry_run = false) {
        ReasonSink sink;
        if (!extract::UndoExtraction(journal_, tree_.Path("work/arc"), sink, dry_run)) {
            return std::nullopt;
        }
        EXPECT_EQ(sink.rows.size(), 1u);
        return sink.rows[0].second + " " + sink.reasons[0];
    }

    std::string Recover() {
        ReasonSink sink;
        extract::RecoverCutOffExtractions(journal_, sink, false);
        std::string rows;
        for (std::size_t i = 0; i < sink.rows.size(); ++i) {
            rows += sink.rows[i].second + " " + sink.reasons[i] + "\n";
        }
        return rows;
    }

    TempTree tree_;
    std::string journal_;
};

TEST_F(ExtractJournal, UndoRemovesTheFolderAndOnlyIt) {
    const Snapshot before = tree_.Take("work");
    ASSERT_EQ(ExtractJournaled().status, "完了");
    EXPECT_NE(Undo(true).value_or("").find("完了"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(tree_.Path("work/arc")));
    EXPECT_NE(Undo().value_or("").find("was undone"), std::string::npos);
    EXPECT_EQ(tree_.Take("work"), before);
    EXPECT_EQ(Undo(), std::nullopt);  // the folder's undo is done: no second
}

// The window's row of an extraction names the archive: its newest
// extraction is undone, once; an older one stays, as it may hold what the
// user kept since.
TEST_F(ExtractJournal, UndoByTheArchiveTakesItsNewestExtractionOnly) {
    ASSERT_EQ(ExtractJournaled().status, "完了");
    ASSERT_EQ(ExtractJournaled().status, "完了");  // into "arc (2)"
    const auto undo = [&] {
        ReasonSink sink;
        EXPECT_TRUE(extract::UndoExtraction(journal_, tree_.Path("work/arc.tar"), sink, false));
        return sink.rows.at(0).first + " " + sink.rows.at(0).second + " " + sink.reasons.at(0);
    };
    EXPECT_NE(undo().find("arc.tar 完了 the extraction was undone"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(tree_.Path("work/arc")));
    EXPECT_FALSE(std::filesystem::exists(tree_.Path("work/arc (2)")));
    EXPECT_NE(undo().find("arc.tar エラー no extraction of this archive is left"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(tree_.Path("work/arc")));
    // A file that is no archive is not an extraction's to answer for.
    ReasonSink none;
    tree_.Add({"work/notes.txt"});
    EXPECT_FALSE(extract::UndoExtraction(journal_, tree_.Path("work/notes.txt"), none, false));
    EXPECT_TRUE(none.rows.empty());
}

TEST_F(ExtractJournal, UndoIsRefusedWhenAnythingChanged) {
    const std::vector<std::pair<std::string, std::function<void(const TempTree&)>>> changes = {
        {"a",
         [](const TempTree& tree) {
             std::ofstream(tree.Path("work/arc/a"), std::ios::app) << "more";
         }},
        {"sub/new", [](const TempTree& tree) { tree.Add({"work/arc/sub/new"}); }},
        {"sub/b",
         [](const TempTree& tree) { std::filesystem::remove(tree.Path("work/arc/sub/b")); }},
    };
    for (const auto& [entry, change] : changes) {
        SCOPED_TRACE(entry);
        std::filesystem::remove_all(tree_.Path("work/arc"));
        ASSERT_EQ(ExtractJournaled().status, "完了");
        change(tree_);
        const Snapshot changed = tree_.Take("work");
        const std::string row = Undo().value_or("");
        EXPECT_NE(row.find("エラー"), std::string::npos) << row;
        EXPECT_NE(row.find("\"" + entry + "\""), std::string::npos) << row;
        EXPECT_EQ(tree_.Take("work"), changed);
    }
}

TEST_F(ExtractJournal, RecoveryRemovesAPartExtractionAndNamesAWholeOne) {
    const std::string work = tree_.Path("work");
    {
        extract::ExtractionRecord cut(journal_);  // dropped open: as a killed process
        cut.Begin(tree_.Path("work/arc.tar"), work, "karuneo00000001.tmp");
#ifdef _WIN32
        tree_.Add({"work/karuneo00000001.tmp/W/a"});  // Wine makes no links to follow
#else
        tree_.Add({"work/karuneo00000001.tmp/W/a", "work/karuneo00000001.tmp/W/l->../../.."});
#endif
        cut.Made(tree_.Path("work/karuneo00000001.tmp"));
    }
    {
        extract::ExtractionRecord whole(journal_);
        whole.Begin(tree_.Path("work/arc.tar"), work, "karuneo00000002.tmp");
        tree_.Add({"work/karuneo00000002.tmp/a"});
        whole.Made(tree_.Path("work/karuneo00000002.tmp"));
        std::filesystem::rename(tree_.Path("work/karuneo00000002.tmp"), tree_.Path("work/done"));
    }
    const std::string rows = Recover();
    EXPECT_NE(rows.find("完了 an extraction into"), std::string::npos) << rows;
    EXPECT_NE(rows.find("was given its name"), std::string::npos) << rows;
    std::vector<std::string> left;
    for (const auto& [path, kind] : tree_.Take("work")) {
        left.push_back(path);
    }
    EXPECT_EQ(left, (std::vector<std::string>{"arc.tar", "done", "done/a"}));
    EXPECT_TRUE(std::filesystem::exists(tree_.root()));  // the link was never followed
    EXPECT_EQ(Recover(), "");
}

}  // namespace
}  // namespace karuneo::testing
