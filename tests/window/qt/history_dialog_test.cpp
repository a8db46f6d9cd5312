#include "window/qt/history_dialog.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "engine/display_text.h"
#include "engine/journal/journal_file.h"
#include "tests/support/journal_tree.h"

namespace karuneo {
namespace {

using testing::JournalTree;

// What the selected row's buttons allow: U, F and D.
std::string Enabled(const HistoryDialog& dialog) {
    std::string enabled;
    for (const auto& [action, letter] :
         {std::pair{HistoryAction::kUndo, 'U'}, std::pair{HistoryAction::kFinish, 'F'},
          std::pair{HistoryAction::kForget, 'D'}}) {
        if (dialog.Button(action)->isEnabled()) {
            enabled += letter;
        }
    }
    return enabled;
}

// A finished run on D, then a cut-off one: newest first, 中断 and 完了.
class HistoryDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        run_.tree().Add({"A/B/f"}, "D");
        run_.Walk();
        std::filesystem::remove(run_.tree().root() / "D" / "f");
        run_.tree().Add({"A/B/g1", "A/B/g2"}, "D");
        run_.WalkKilledAtMove(2);
    }

    JournalTree run_;
};

TEST_F(HistoryDialogTest, SelectingARowEnablesWhatItAllowsAndAButtonReturnsTheChoice) {
    HistoryDialog dialog(run_.journal_folder());
    ASSERT_EQ(dialog.Table()->rowCount(), 2);
    const std::string enabled_at_first = Enabled(dialog);
    dialog.Table()->selectRow(1);
    const std::string finished = Enabled(dialog);
    dialog.Table()->selectRow(0);
    const std::string cut_off = Enabled(dialog);

    dialog.Button(HistoryAction::kFinish)->click();

    EXPECT_EQ(enabled_at_first, "");
    EXPECT_EQ(finished, "") << "a cut-off run came after it";
    EXPECT_EQ(cut_off, "FD");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.Choice());
    EXPECT_EQ(dialog.Choice()->action, HistoryAction::kFinish);
    EXPECT_EQ(dialog.Choice()->folder, run_.tree().Path("D"));
    EXPECT_EQ(dialog.Choice()->journal, journal::ListJournals(run_.journal_folder()).back());
}

TEST_F(HistoryDialogTest, ForgettingAsksFirstAndThenLetsTheRunBeforeBeUndone) {
    HistoryDialog dialog(run_.journal_folder());
    std::vector<bool> answers{false, true};
    dialog.SetConfirm([this, &answers](QWidget*, const QString& question) {
        EXPECT_TRUE(
            question.contains(QString::fromStdString(ToDisplayText(run_.tree().Path("D")))));
        const bool yes = answers.front();
        answers.erase(answers.begin());
        return yes;
    });
    dialog.Table()->selectRow(0);

    dialog.Button(HistoryAction::kForget)->click();
    const QString refused = dialog.Table()->item(0, 2)->text();
    dialog.Button(HistoryAction::kForget)->click();
    const std::string forgotten = Enabled(dialog);
    dialog.Table()->selectRow(1);
    dialog.Button(HistoryAction::kUndo)->click();

    EXPECT_EQ(refused, "中断");
    EXPECT_EQ(dialog.Table()->item(0, 2)->text(), "記録を消去済み");
    EXPECT_EQ(forgotten, "") << "the forgotten run stays selected";
    ASSERT_TRUE(dialog.Choice());
    EXPECT_EQ(dialog.Choice()->action, HistoryAction::kUndo);
    EXPECT_EQ(dialog.Choice()->journal, journal::ListJournals(run_.journal_folder()).front());
}

}  // namespace
}  // namespace karuneo
