// The real Form1 driven with messages: its controls, the list's menu and
// sorting, and what the registry holds after moves, sizes and starts.
#include "window/win32/form1.h"

#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/window/win32/form1_fixture.h"
#include "window/rules/twips_at_dpi.h"

namespace karuneo::win32 {
namespace {

using testing::WideRow;

constexpr int kDpi = 96;  // what Wine runs at

int Px(float twips) {
    return TwipsToPixelsAt(twips, kDpi);
}

RECT PlaceInClient(HWND control) {
    RECT place{};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

std::wstring FaceOf(HWND control) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                 &font);
    return font.lfFaceName;
}

class Form1Test : public Form1Fixture {
  protected:
    void ClickHeader(int column) {
        NMLISTVIEW click{};
        click.hdr = {List(), static_cast<UINT_PTR>(kListView1), static_cast<UINT>(LVN_COLUMNCLICK)};
        click.iItem = -1;
        click.iSubItem = column;
        ::SendMessageW(form->hWnd(), WM_NOTIFY, kListView1, reinterpret_cast<LPARAM>(&click));
    }
    void ExpectColumnsFillTheList() {
        RECT client{};
        ::GetClientRect(List(), &client);
        ASSERT_EQ(testing::ColumnCount(List()), 2);
        EXPECT_EQ(testing::ColumnWidth(List(), 0) + testing::ColumnWidth(List(), 1), client.right);
        EXPECT_NEAR(testing::ColumnWidth(List(), 0) * 40, testing::ColumnWidth(List(), 1) * 60, 60);
        EXPECT_EQ(::GetWindowLongPtrW(List(), GWL_STYLE) & WS_HSCROLL, 0);
    }
};

TEST_F(Form1Test, ControlsSitAtTheirDesignedPlacesWithTheirCaptionsAndFonts) {
    Open();
    struct Expected {
        int id;
        const wchar_t* caption;
        RECT place;  // left, top, right, bottom in pixels
    };
    const Expected controls[] = {
        {kFrame1, L"処理結果", {Px(3240), Px(120), 0, 0}},
        {kFrame2,
         L"↓ココへドラッグしてください↓",
         {Px(120), Px(120), Px(120 + 2535), Px(120 + 2055)}},
        {kLabel1, L"→", {Px(2760), Px(840), Px(2760 + 495), Px(840 + 735)}},
        {kListView1, L"", {Px(3480), Px(480), 0, 0}},
    };
    for (const Expected& control : controls) {
        SCOPED_TRACE(control.id);
        wchar_t caption[64] = {};
        ::GetWindowTextW(Child(control.id), caption, 64);
        EXPECT_STREQ(caption, control.caption);
        const RECT place = PlaceInClient(Child(control.id));
        EXPECT_EQ(place.left, control.place.left);
        EXPECT_EQ(place.top, control.place.top);
        if (control.place.right != 0) {
            EXPECT_EQ(place.right, control.place.right);
            EXPECT_EQ(place.bottom, control.place.bottom);
        }
    }
    wchar_t title[64] = {};
    ::GetWindowTextW(form->hWnd(), title, 64);
    EXPECT_STREQ(title, L"カルネオソフト");
    EXPECT_EQ(FaceOf(Child(kLabel1)), L"ＭＳ Ｐゴシック");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    EXPECT_EQ(FaceOf(Child(kFrame1)), metrics.lfMessageFont.lfFaceName);
    EXPECT_EQ(::GetWindow(form->hWnd(), GW_CHILD), List())
        << "the list is painted above the frames";
}

TEST_F(Form1Test, CommonControlsSixIsTheOneLoaded) {
    // Wine reports 5.81 whichever it loads; the side-by-side folder tells.
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(::GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
    std::wstring lower(path);
    for (auto& c : lower) {
        c = static_cast<wchar_t>(towlower(c));
    }
    EXPECT_NE(lower.find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos) << lower;
}

TEST_F(Form1Test, HeaderClickSortsOnceAndLaterRowsGoToTheEnd) {
    Open();
    DropFolders({"b10", "B2", "a"});
    ClickHeader(0);
    DropFolders({"0"});
    EXPECT_EQ(Rows(),
              (std::vector<WideRow>{
                  {L"a", L"未処理"}, {L"B2", L"未処理"}, {L"b10", L"未処理"}, {L"0", L"未処理"}}));
}

TEST_F(Form1Test, TheContextMenuClearsTheListAndKeepsTheColumns) {
    Open();
    DropFolders({"a", "b"});
    menu_choice = 0;
    ::SendMessageW(form->hWnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()),
                   MAKELPARAM(300, 200));
    EXPECT_EQ(Rows().size(), 2u) << "a menu closed without choosing keeps the rows";

    menu_choice = kMnu削除;
    ::SendMessageW(form->hWnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), -1);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(testing::ColumnCount(List()), 2);
    ASSERT_EQ(menu_points.size(), 2u);
    EXPECT_EQ(menu_points[0].x, 300);
    EXPECT_EQ(menu_points[0].y, 200);
    RECT list{};
    ::GetWindowRect(List(), &list);
    EXPECT_TRUE(::PtInRect(&list, menu_points[1])) << "the keyboard's menu opens at the list";

    RECT frame2{};
    ::GetWindowRect(Child(kFrame2), &frame2);
    ::SendMessageW(form->hWnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Child(kFrame2)),
                   MAKELPARAM(frame2.left + 20, frame2.top + 40));
    EXPECT_EQ(menu_points.size(), 2u) << "only the list has the menu";
}

TEST_F(Form1Test, FirstStartOpensAtTheDesignSizeAndSavesIt) {
    Open();
    RECT client{};
    ::GetClientRect(form->hWnd(), &client);
    EXPECT_EQ(client.right, Px(11145));
    EXPECT_EQ(client.bottom, Px(5625));
    const RECT outer = Outer();
    EXPECT_EQ(Stored("WindowState"), "vbNomal");
    EXPECT_EQ(Stored("Left"), std::to_string(outer.left * 15));
    EXPECT_EQ(Stored("Width"), std::to_string((outer.right - outer.left) * 15));
    EXPECT_EQ(Stored("Height"), std::to_string((outer.bottom - outer.top) * 15));
    ExpectColumnsFillTheList();
}

// What is kept, and how a start reads it back, is tested in window/rules; here,
// that the window hands them its moves, sizes and states, and opens as they say.
TEST_F(Form1Test, MovesSizesAndStatesAreSavedAndTheNextStartOpensAsTheyWere) {
    Open();
    RECT first_list{};
    ::GetClientRect(List(), &first_list);
    const int first_column = testing::ColumnWidth(List(), 0);
    form.reset();
    Store({{"WindowState", "vbNomal"}, {"Left", "1500"}, {"Top", "1200"}});
    Open();
    EXPECT_EQ(Outer().left, 100);
    EXPECT_EQ(Outer().top, 80);
    RECT list{};
    ::GetClientRect(List(), &list);
    EXPECT_EQ(list.right, first_list.right);
    EXPECT_EQ(list.bottom, first_list.bottom);
    EXPECT_EQ(testing::ColumnWidth(List(), 0), first_column);

    ::SetWindowPos(form->hWnd(), nullptr, 50, 60, 700, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Stored("Left"), "750");
    EXPECT_EQ(Stored("Top"), "900");
    EXPECT_EQ(Stored("Width"), "10500");
    ::SetWindowPos(form->hWnd(), nullptr, 70, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(Stored("Left"), "1050") << "a move alone is saved too";

    ::ShowWindow(form->hWnd(), SW_MAXIMIZE);
    EXPECT_EQ(Stored("WindowState"), "vbMaximized");
    ExpectColumnsFillTheList();
    ::ShowWindow(form->hWnd(), SW_RESTORE);
    EXPECT_EQ(Stored("WindowState"), "vbNomal");
    EXPECT_EQ(Stored("Left"), "1050");
    EXPECT_EQ(Stored("Width"), "10500");

    ::ShowWindow(form->hWnd(), SW_MAXIMIZE);
    const HWND window = form->hWnd();
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(window));
    form.reset();
    Open();
    EXPECT_TRUE(::IsZoomed(form->hWnd()));
    ExpectColumnsFillTheList();
}

// The minimum size and the screens as Windows reports them to the window.
TEST_F(Form1Test, TheWindowKeepsToItsMinimumAndToTheScreens) {
    Store({{"WindowState", "vbNomal"},
           {"Left", "-300000"},
           {"Top", "-300000"},
           {"Width", "9000"},
           {"Height", "6000"}});
    Open();
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(Outer().left, work.left);
    EXPECT_EQ(Outer().top, work.top);
    EXPECT_EQ(Outer().right - Outer().left, 600);

    MINMAXINFO limits{};
    ::SendMessageW(form->hWnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, Px(6000));
    EXPECT_EQ(limits.ptMinTrackSize.y, Px(2800));
    ::SetWindowPos(form->hWnd(), nullptr, 0, 0, 100, 50, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Outer().right - Outer().left, Px(6000));
    EXPECT_EQ(Outer().bottom - Outer().top, Px(2800));
}

TEST_F(Form1Test, GrowingTheWindowErasesTheFramesOldEdges) {
    Open();
    // The bottom edge of 処理結果 beside the list, where nothing else paints.
    const RECT frame = PlaceInClient(Child(kFrame1));
    const POINT old_edge{frame.left + 4, frame.bottom - 2};
    const RECT outer = Outer();
    ::SetWindowPos(form->hWnd(), nullptr, 0, 0, outer.right - outer.left + 80,
                   outer.bottom - outer.top + 60, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_GT(PlaceInClient(Child(kFrame1)).bottom, old_edge.y + 20);
    HRGN update = ::CreateRectRgn(0, 0, 0, 0);
    ::GetUpdateRgn(form->hWnd(), update, FALSE);
    EXPECT_TRUE(::PtInRegion(update, old_edge.x, old_edge.y)) << "the old edge would stay drawn";
    ::DeleteObject(update);
}

}  // namespace
}  // namespace karuneo::win32
