#include "window/win32/history_dialog.h"

#include <gtest/gtest.h>
// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

#include <filesystem>
#include <string>
#include <utility>

#include "engine/journal/journal_file.h"
#include "tests/support/journal_tree.h"

namespace karuneo::win32 {
namespace {

using testing::JournalTree;

void Select(const HistoryDialog& dialog, int row) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(dialog.Control(HistoryDialog::kList), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&state));
}

std::string Enabled(const HistoryDialog& dialog) {
    std::string enabled;
    for (const auto& [id, letter] :
         {std::pair{HistoryDialog::kUndo, 'U'}, std::pair{HistoryDialog::kFinish, 'F'},
          std::pair{HistoryDialog::kForget, 'D'}}) {
        if (::IsWindowEnabled(dialog.Control(id))) {
            enabled += letter;
        }
    }
    return enabled;
}

void Click(const HistoryDialog& dialog, int id) {
    ::SendMessageW(dialog.Control(id), BM_CLICK, 0, 0);
}

// A finished run on D, then a cut-off one: newest first, 中断 and 完了.
TEST(Win32HistoryDialogTest, SelectingARowEnablesWhatItAllowsAndAButtonReturnsTheChoice) {
    JournalTree run;
    run.tree().Add({"A/B/f"}, "D");
    run.Walk();
    std::filesystem::remove(run.tree().root() / "D" / "f");
    run.tree().Add({"A/B/g1", "A/B/g2"}, "D");
    run.WalkKilledAtMove(2);
    HistoryDialog dialog(run.journal_folder());
    ASSERT_TRUE(dialog.Create(nullptr));
    dialog.SetConfirm([](HWND, const std::wstring&) { return true; });

    Select(dialog, 1);
    const std::string finished = Enabled(dialog);
    Select(dialog, 0);
    const std::string cut_off = Enabled(dialog);
    Click(dialog, HistoryDialog::kForget);
    const std::string forgotten = Enabled(dialog);
    Select(dialog, 1);
    const std::string undoable = Enabled(dialog);
    Click(dialog, HistoryDialog::kUndo);

    EXPECT_EQ(finished, "") << "a cut-off run came after it";
    EXPECT_EQ(cut_off, "FD");
    EXPECT_EQ(forgotten, "");
    EXPECT_EQ(undoable, "U");
    EXPECT_TRUE(dialog.Closed());
    ASSERT_TRUE(dialog.Choice());
    EXPECT_EQ(dialog.Choice()->action, HistoryAction::kUndo);
    EXPECT_EQ(dialog.Choice()->folder, run.tree().Path("D"));
    EXPECT_EQ(dialog.Choice()->journal, journal::ListJournals(run.journal_folder()).front());
}

}  // namespace
}  // namespace karuneo::win32
