// The 履歴 dialog's rows, read from journals that real runs wrote.
#include "window/rules/run_history.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/journal_runs.h"
#include "tests/support/journal_tree.h"
#include "tests/support/named_cases.h"
#include "tests/support/platform.h"
#include "window/rules/history_list.h"

namespace karuneo {
namespace {

namespace fs = std::filesystem;
using testing::JournalTree;

// A row as the test reads it: the state, then U, F and D for what it allows.
std::string Shown(const HistoryRow& row) {
    return row.state + (row.can_undo ? " U" : "") + (row.can_finish ? " F" : "") +
           (row.can_forget ? " D" : "");
}

std::vector<std::string> Rows(const std::string& journal_folder) {
    std::vector<std::string> shown;
    for (const auto& row : ReadRunHistory(journal_folder)) {
        shown.push_back(Shown(row));
    }
    return shown;
}

// The dropped folder nested again, for another run on it.
void NestAgain(JournalTree& run, const std::string& name) {
    fs::remove_all(run.tree().root() / "D");
    run.tree().Add({"A/B/" + name}, "D");
}

// Killed after the first entry moved.
void CutOff(JournalTree& run) {
    NestAgain(run, "f1");
    run.tree().Add({"A/B/f2", "A/B/f3"}, "D");
    run.WalkKilledAtMove(2);
}

void Finished(JournalTree& run) {
    NestAgain(run, "f");
    run.Walk();
}

void ForgetNewest(JournalTree& run) {
    const auto rows = ReadRunHistory(run.journal_folder());
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(ForgetRun(rows.front()));
    EXPECT_FALSE(ForgetRun(ReadRunHistory(run.journal_folder()).front())) << "forgotten once";
}

struct HistoryCase {
    const char* name;
    std::function<void(JournalTree&)> runs;
    std::vector<std::string> rows;  // newest first
};

class RunHistoryTest : public ::testing::TestWithParam<HistoryCase> {};

TEST_P(RunHistoryTest, ListsEachRunNewestFirstWithWhatItAllows) {
    JournalTree run;
    GetParam().runs(run);

    EXPECT_EQ(Rows(run.journal_folder()), GetParam().rows);
    for (const auto& row : ReadRunHistory(run.journal_folder())) {
        EXPECT_EQ(row.folder, run.tree().Path("D"));
        EXPECT_EQ(row.time.size(), std::string("2024-05-01 09:30:15").size()) << row.time;
    }
}

const HistoryCase kHistoryCases[] = {
    {"Finished", Finished, {"完了 U"}},
    {"OnlyTheLastRunOnAFolderIsUndone",
     [](JournalTree& run) {
         Finished(run);
         Finished(run);
     },
     {"完了 U", "完了"}},
    {"Undone",
     [](JournalTree& run) {
         Finished(run);
         run.Undo();
     },
     {"元に戻す処理", "元に戻し済み"}},
    {"CutOffIsFinishedOrForgottenAndKeepsTheRunBeforeIt",
     [](JournalTree& run) {
         Finished(run);
         CutOff(run);
     },
     {"中断 F D", "完了"}},
    {"ForgottenLetsTheRunBeforeItBeUndone",
     [](JournalTree& run) {
         Finished(run);
         CutOff(run);
         ForgetNewest(run);
     },
     {"記録を消去済み", "完了 U"}},
    {"DamagedKeepsTheRunBeforeIt",
     [](JournalTree& run) {
         Finished(run);
         std::ofstream(
             fs::path(testing::PathFromUtf8(run.journal_folder())) / "run-000000000999.journal",
             std::ios::binary)
             << "karuneo-journal 2\nroot " << journal::EscapeToken(run.tree().Path("D"))
             << " 1 2\nnonsense\n";
     },
     {"読めない記録", "完了"}},
};

INSTANTIATE_TEST_SUITE_P(Runs, RunHistoryTest, ::testing::ValuesIn(kHistoryCases),
                         testing::CaseName());

TEST(RunHistoryTest, ARunStillWrittenIsNeitherFinishedNorForgotten) {
    JournalTree run;
    const auto running = journal::JournalFile::CreateNew(run.journal_folder());
    ASSERT_TRUE(running.ok());

    const auto rows = ReadRunHistory(run.journal_folder());

    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Shown(rows[0]), "処理中");
    EXPECT_FALSE(journal::ForgetCutOffRun(rows[0].journal));
}

// Too long for its head to hold it: its end is read apart.
TEST(RunHistoryTest, ALongJournalIsReadByItsHeadAndItsEnd) {
    JournalTree run;
    std::vector<std::string> entries;
    for (int i = 0; i < 2000; ++i) {
        entries.push_back("A/B/a-rather-long-name-to-fill-the-journal-" + std::to_string(i));
    }
    run.tree().Add(entries, "D");
    run.Walk();
    const auto journals = journal::ListJournals(run.journal_folder());
    ASSERT_EQ(journals.size(), 1u);
    ASSERT_GT(fs::file_size(testing::PathFromUtf8(journals[0])), journal::kJournalHeadBytes);
    const auto finished = Rows(run.journal_folder());

    run.Undo();

    EXPECT_EQ(finished, std::vector<std::string>{"完了 U"});
    EXPECT_EQ(Rows(run.journal_folder()),
              (std::vector<std::string>{"元に戻す処理", "元に戻し済み"}));
}

TEST(RunHistoryTest, SortingKeepsTheNewestFirstAmongRowsAlike) {
    std::vector<HistoryRow> rows(3);
    const auto set = [&rows](std::size_t at, const char* folder, const char* time,
                             const char* state, long long order) {
        rows[at].folder = rows[at].shown_folder = folder;
        rows[at].time = time;
        rows[at].state = state;
        rows[at].order = order;
    };
    set(0, "/b", "2", "完了", 3);
    set(1, "/a", "3", "中断", 2);
    set(2, "/c", "1", "完了", 1);
    const auto order = [&rows] {
        std::string folders;
        for (const auto& row : rows) {
            folders += row.folder;
        }
        return folders;
    };

    SortHistory(rows, HistoryColumn::kState, true);
    const std::string by_state = order();
    SortHistory(rows, HistoryColumn::kState, false);
    const std::string by_state_down = order();
    SortHistory(rows, HistoryColumn::kTime, false);

    EXPECT_EQ(by_state, "/a/b/c");
    EXPECT_EQ(by_state_down, "/b/c/a");
    EXPECT_EQ(order(), "/a/b/c");
}

// Both windows' list: a second click turns the order round, a reload keeps
// the order asked for, and the selected run is found again where it went.
TEST(RunHistoryTest, TheDialogsListKeepsItsOrderAndFindsTheSelectedRunAgain) {
    JournalTree run;
    Finished(run);
    CutOff(run);
    HistoryList list(run.journal_folder());
    list.Reload();
    ASSERT_EQ(list.Rows().size(), 2u);
    const std::string cut_off = list.Rows()[0].journal;

    list.SortBy(HistoryColumn::kState);
    list.SortBy(HistoryColumn::kState);
    list.Reload();

    EXPECT_EQ(list.SortedColumn(), HistoryColumn::kState);
    EXPECT_FALSE(list.Ascending());
    EXPECT_EQ(list.IndexOf(cut_off), 1u) << "中断 after 完了, going down";
    EXPECT_EQ(list.At(1)->journal, cut_off);
    list.SortBy(HistoryColumn::kTime);
    EXPECT_FALSE(list.Ascending()) << "a time sorts newest first at the first click";

    EXPECT_EQ(list.At(-1), nullptr) << "nothing selected";
    EXPECT_EQ(list.At(2), nullptr);
    EXPECT_FALSE(list.IndexOf("").has_value());
    EXPECT_FALSE(Enables(nullptr, HistoryAction::kFinish));
    EXPECT_TRUE(Enables(list.At(list.IndexOf(cut_off).value_or(0)), HistoryAction::kFinish));
}

}  // namespace
}  // namespace karuneo
