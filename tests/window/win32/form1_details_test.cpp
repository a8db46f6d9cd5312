// A row's 詳細 and コピー in the real Form1: from the list's menu, Enter and
// Ctrl+C, and where the menu opens from the keyboard.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/window/win32/form1_fixture.h"

namespace karuneo::win32 {
namespace {

constexpr wchar_t kTwoEntries[] =
    L"項目が 2 個(「x」と「y」)あり、フォルダ 1 つだけではありません。何も変更していません。";

class Form1DetailsTest : public Form1Fixture {
  protected:
    void Select(std::initializer_list<int> rows) {
        LVITEMW none{};
        none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(&none));
        for (const int row : rows) {
            LVITEMW state{};
            state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            state.state = state.stateMask;
            ::SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&state));
        }
    }
    POINT OnRow(int row) {
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        ::SendMessageW(List(), LVM_GETITEMRECT, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&bounds));
        POINT at{bounds.left + 5, bounds.top + 2};
        ::ClientToScreen(List(), &at);
        return at;
    }
    void OpenMenuAt(POINT at, UINT choice) {
        menu_choice = choice;
        ::SendMessageW(form->hWnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()),
                       MAKELPARAM(at.x, at.y));
    }
    void OpenMenuFromKeyboard(UINT choice) {
        menu_choice = choice;
        ::SendMessageW(form->hWnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), -1);
    }
    std::wstring DetailsOf(const std::string& name) {
        return L"フォルダ: " + Dropped(name) + L"\n処理結果: 未処理\n理由: " + kTwoEntries;
    }
    std::wstring LineOf(const std::string& name) {
        // The path as Explorer takes it, its backslashes single.
        const std::wstring wide(name.begin(), name.end());
        return wide + L"\t未処理\t" + Dropped(name) + L"\t" + kTwoEntries + L"\r\n";
    }
    static std::wstring Clipboard() {
        if (!::OpenClipboard(nullptr)) {
            return L"(not opened)";
        }
        std::wstring text;
        if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(::GlobalLock(data));
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
        return text;
    }
    static void EmptyTheClipboard() {
        ASSERT_TRUE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        ::CloseClipboard();
    }
};

TEST_F(Form1DetailsTest, TheMenuAndEnterShowTheDetailsOfTheirRow) {
    Open();
    DropFolders({"a", "b"});
    OpenMenuAt(OnRow(1), kMnu詳細);
    EXPECT_TRUE(details_offered);
    Select({0});
    ::SendMessageW(List(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(details_shown, (std::vector<std::wstring>{DetailsOf("b"), DetailsOf("a")}));

    tree.Add({"c.zip"});
    form->Frame2_OLEDragDrop({Dropped("c.zip")});
    ASSERT_TRUE(WaitUntilIdle());
    Select({2});
    ::SendMessageW(List(), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_EQ(details_shown.size(), 3u);
    EXPECT_EQ(
        details_shown[2].rfind(L"アーカイブ: " + Dropped("c.zip") + L"\n処理結果: 未処理\n", 0), 0u)
        << "an archive's row is headed as one";

    RECT list{};
    ::GetWindowRect(List(), &list);
    OpenMenuAt({list.left + 20, list.bottom - 20}, kMnu詳細);
    EXPECT_FALSE(details_offered) << "below the rows there is no row to tell of";
    EXPECT_EQ(details_shown.size(), 3u);
}

TEST_F(Form1DetailsTest, CtrlAAndCtrlCAndTheMenuCopyTheSelectedRowsWithWindowsLineEnds) {
    Open();
    DropFolders({"a", "b", "c"});
    EmptyTheClipboard();
    Select({0, 2});
    PressCtrl('C');
    EXPECT_EQ(Clipboard(), LineOf("a") + LineOf("c"));
    PressCtrl('A');
    PressCtrl('C');
    EXPECT_EQ(Clipboard(), LineOf("a") + LineOf("b") + LineOf("c")) << "Ctrl+A selects all";

    Select({1});
    OpenMenuFromKeyboard(kMnuコピー);
    EXPECT_TRUE(copy_offered);
    EXPECT_EQ(Clipboard(), LineOf("b"));

    Select({});
    OpenMenuFromKeyboard(0);
    EXPECT_FALSE(copy_offered) << "nothing selected, nothing to copy";
}

TEST_F(Form1DetailsTest, TheKeyboardMenuOpensBelowTheHeaderOrBelowTheFocusedRow) {
    Open();
    OpenMenuFromKeyboard(0);
    EXPECT_FALSE(undo_offered);
    EXPECT_FALSE(details_offered);
    EXPECT_FALSE(copy_offered);
    EXPECT_FALSE(clear_offered);
    RECT header{};
    ::GetWindowRect(ListView_GetHeader(List()), &header);
    POINT rows_top{0, 0};
    ::ClientToScreen(List(), &rows_top);
    ASSERT_EQ(menu_points.size(), 1u);
    EXPECT_EQ(menu_points[0].x, rows_top.x);
    EXPECT_EQ(menu_points[0].y, header.bottom) << "the menu opens below the header, not on it";

    DropFolders({"a", "b"});
    Select({1});
    OpenMenuFromKeyboard(0);
    EXPECT_TRUE(clear_offered);
    RECT row{};
    row.left = LVIR_BOUNDS;
    ::SendMessageW(List(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    POINT below_row{row.left, row.bottom};
    ::ClientToScreen(List(), &below_row);
    ASSERT_EQ(menu_points.size(), 2u);
    EXPECT_EQ(menu_points[1].x, below_row.x);
    EXPECT_EQ(menu_points[1].y, below_row.y);
}

}  // namespace
}  // namespace karuneo::win32
