// Form1 keeps a journal of every run: 元に戻す and Ctrl+Z take a row's run
// back, and a run cut off is finished when the window starts.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/support/journal_tree.h"
#include "tests/window/win32/form1_fixture.h"

namespace karuneo::win32 {
namespace {

using testing::WideRow;

class Form1JournalTest : public Form1Fixture {
  protected:
    void FocusRow(int row) {
        LVITEMW state{};
        state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
        state.state = state.stateMask;
        ::SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&state));
    }
    POINT BelowTheRows() {
        RECT list{};
        ::GetWindowRect(List(), &list);
        return {list.left + 20, list.bottom - 20};
    }
    void OpenMenuAt(LPARAM at, UINT choice) {
        menu_choice = choice;
        ::SendMessageW(form->hWnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), at);
    }
};

TEST_F(Form1JournalTest, CtrlZAndTheMenuUndoTheRunOfARow) {
    tree.Add({"D/A/B/f1", "D/A/B/G/g", "E/A/f"});
    const auto before_d = tree.Take("D");
    const auto before_e = tree.Take("E");
    Open();
    form->StartWork({Dropped("D"), Dropped("E")});
    ASSERT_TRUE(WaitUntilIdle());
    ASSERT_EQ(Rows(), (std::vector<WideRow>{{L"D", L"完了"}, {L"E", L"完了"}}));

    // Ctrl+Z takes the newest row's run back when no row is chosen.
    PressCtrl('Z');
    ASSERT_TRUE(PumpUntil([&] { return Rows().size() == 3; }));
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(tree.Take("E"), before_e);

    // Below the rows the menu offers nothing to undo.
    const POINT below = BelowTheRows();
    OpenMenuAt(MAKELPARAM(below.x, below.y), 0);
    EXPECT_FALSE(undo_offered);

    // The menu's 元に戻す takes back the run of the row it was opened on.
    FocusRow(0);
    OpenMenuAt(-1, kMnu元に戻す);
    EXPECT_TRUE(undo_offered);
    ASSERT_TRUE(PumpUntil([&] { return Rows().size() == 4; }));
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Rows(), (std::vector<WideRow>{{L"D", L"完了"},
                                            {L"E", L"完了"},
                                            {L"E", L"元に戻しました"},
                                            {L"D", L"元に戻しました"}}));
    EXPECT_EQ(tree.Take("D"), before_d);
}

TEST_F(Form1JournalTest, ARunThatWasCutOffIsFinishedWhenTheWindowStarts) {
    tree.AddEmptyFiles("D/A/B", 20);
    tree.Add({"later/A/f"});
    const auto flattened_names = testing::Layout(tree.Take("D/A/B"));
    testing::LeaveACutOffRun(tree.Path("D"), 12);
    ASSERT_NE(testing::Layout(tree.Take("D")), flattened_names);

    Open();
    form->StartWork({Dropped("later")});
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Rows(), (std::vector<WideRow>{{L"D", L"完了"}, {L"later", L"完了"}}));
    EXPECT_EQ(testing::Layout(tree.Take("D")), flattened_names);
}

}  // namespace
}  // namespace karuneo::win32
