#include "results/win32/results_list_view.h"

#include <gtest/gtest.h>
// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/support/status_named.h"
#include "tests/support/win32/list_rows.h"

namespace karuneo::win32 {
namespace {

using testing::WideRow;

class ResultsListViewTest : public ::testing::Test {
  protected:
    ResultsListViewTest()
        : parent_(::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                    nullptr, ::GetModuleHandleW(nullptr), nullptr)) {
        list.Create(parent_, 1);
        ::SetWindowPos(list.Handle(), nullptr, 0, 0, 400, 200, SWP_NOZORDER);
        list.CreateColumns();
    }
    ~ResultsListViewTest() override { ::DestroyWindow(parent_); }

    void Add(const std::vector<WideRow>& rows) {
        for (const auto& [name, status] : rows) {
            list.SetDroppedPath(L"C:\\drop\\" + name);
            list.AddResult(Narrow(name), testing::StatusNamed(Narrow(status)));
        }
    }
    static std::string Narrow(const std::wstring& text) {
        std::string utf8(static_cast<std::size_t>(::WideCharToMultiByte(
                             CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)) -
                             1,
                         '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(),
                              static_cast<int>(utf8.size() + 1), nullptr, nullptr);
        return utf8;
    }
    std::vector<WideRow> Rows() const { return testing::ListRows(list.Handle()); }
    // The columns whose header shows a sort arrow, "^" up, "v" down.
    std::string SortArrows() const {
        std::string arrows;
        for (int column = 0; column < testing::ColumnCount(list.Handle()); ++column) {
            HDITEMW item{};
            item.mask = HDI_FORMAT;
            ::SendMessageW(ListView_GetHeader(list.Handle()), HDM_GETITEMW,
                           static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
            arrows += (item.fmt & HDF_SORTUP) ? '^' : (item.fmt & HDF_SORTDOWN) ? 'v' : '-';
        }
        return arrows;
    }

    HWND parent_;
    ResultsListView list;
};

struct SortCase {
    const char* title;
    int column;
    std::vector<WideRow> before;
    std::vector<WideRow> after;
    std::vector<WideRow> after_second_click;
};

class ResultsListViewSortTest : public ResultsListViewTest,
                                public ::testing::WithParamInterface<SortCase> {};

TEST_P(ResultsListViewSortTest, SortsTheRowsPresentOnceEitherWay) {
    Add(GetParam().before);
    list.ListView1_ColumnClick(GetParam().column);
    EXPECT_EQ(Rows(), GetParam().after);
    EXPECT_EQ(SortArrows(), GetParam().column == 0 ? "^-" : "-^");
    list.ListView1_ColumnClick(GetParam().column);
    EXPECT_EQ(Rows(), GetParam().after_second_click);
    EXPECT_EQ(SortArrows(), GetParam().column == 0 ? "v-" : "-v");
    Add({{L"0", L"エラー"}});
    EXPECT_EQ(Rows().back(), (WideRow{L"0", L"エラー"})) << "a later row goes to the end";
    EXPECT_EQ(SortArrows(), "--") << "the rows are out of order now";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResultsListViewSortTest,
    ::testing::Values(SortCase{"numbers as numbers, letters in any case",
                               0,
                               {{L"file10", L"完了"}, {L"File2", L"未処理"}, {L"file1", L"完了"}},
                               {{L"file1", L"完了"}, {L"File2", L"未処理"}, {L"file10", L"完了"}},
                               {{L"file10", L"完了"}, {L"File2", L"未処理"}, {L"file1", L"完了"}}},
                      SortCase{"by status, equal names kept",
                               1,
                               {{L"a", L"未処理"}, {L"a", L"完了"}, {L"b", L"エラー"}},
                               {{L"b", L"エラー"}, {L"a", L"完了"}, {L"a", L"未処理"}},
                               {{L"a", L"未処理"}, {L"a", L"完了"}, {L"b", L"エラー"}}},
                      SortCase{"equal names kept in their arrival either way",
                               0,
                               {{L"b", L"完了"}, {L"a", L"エラー"}, {L"b", L"未処理"}},
                               {{L"a", L"エラー"}, {L"b", L"完了"}, {L"b", L"未処理"}},
                               {{L"b", L"完了"}, {L"b", L"未処理"}, {L"a", L"エラー"}}},
                      SortCase{"nothing to sort", 0, {}, {}, {}}),
    [](const auto& param_info) { return "Case" + std::to_string(param_info.index); });

TEST_F(ResultsListViewTest, TheNewestRowIsInViewAndColumnsFillTheWidthWithoutScrolling) {
    std::vector<WideRow> rows;
    for (int i = 0; i < 60; ++i) {
        rows.emplace_back(L"folder" + std::to_wstring(i), L"完了");
    }
    Add(rows);
    const auto top = ::SendMessageW(list.Handle(), LVM_GETTOPINDEX, 0, 0);
    const auto per_page = ::SendMessageW(list.Handle(), LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_GE(top + per_page, 60) << "top " << top << ", " << per_page << " per page";

    RECT client{};
    ::GetClientRect(list.Handle(), &client);
    EXPECT_LT(client.right, 400 - ::GetSystemMetrics(SM_CXVSCROLL) + 1) << "scroll bar shown";
    EXPECT_EQ(testing::ColumnWidth(list.Handle(), 0) + testing::ColumnWidth(list.Handle(), 1),
              client.right);
    EXPECT_EQ(::GetWindowLongPtrW(list.Handle(), GWL_STYLE) & WS_HSCROLL, 0);

    list.RemoveAllRows();
    ::GetClientRect(list.Handle(), &client);
    EXPECT_EQ(testing::ColumnWidth(list.Handle(), 0) + testing::ColumnWidth(list.Handle(), 1),
              client.right);
    EXPECT_EQ(testing::ColumnCount(list.Handle()), 2);
}

TEST_F(ResultsListViewTest, ARowsTipIsTheFullPathItWasDroppedAs) {
    Add({{L"資料", L"未処理"}, {L"a", L"完了"}});
    list.ListView1_ColumnClick(0);  // the tip follows the row, not its place
    wchar_t tip[MAX_PATH] = L"資料";
    NMLVGETINFOTIPW request{};
    request.hdr = {list.Handle(), 1, static_cast<UINT>(LVN_GETINFOTIPW)};
    request.pszText = tip;
    request.cchTextMax = MAX_PATH;
    request.iItem = 1;
    EXPECT_TRUE(list.OnNotify(request.hdr));
    EXPECT_STREQ(tip, L"C:\\drop\\資料");
}

TEST_F(ResultsListViewTest, ARowsTipSaysWhyAfterThePath) {
    list.SetDroppedPath(L"C:\\drop\\空");
    list.AddResultWithReason("空", RowStatus::kUntouched,
                             UntouchedReason{NotNested::kEmpty, 0, {}});
    list.AddResultWithReason("済", RowStatus::kDone, RowReason{});
    wchar_t tip[INFOTIPSIZE] = L"";
    NMLVGETINFOTIPW request{};
    request.hdr = {list.Handle(), 1, static_cast<UINT>(LVN_GETINFOTIPW)};
    request.pszText = tip;
    request.cchTextMax = INFOTIPSIZE;
    EXPECT_TRUE(list.OnNotify(request.hdr));
    EXPECT_STREQ(tip, L"C:\\drop\\空\r\nフォルダは空です。何も変更していません。");
    request.iItem = 1;
    EXPECT_TRUE(list.OnNotify(request.hdr));
    EXPECT_STREQ(tip, L"C:\\drop\\空");
}

TEST_F(ResultsListViewTest, NamesThatAreNoTextAreShownReadably) {
    list.AddResult(
        "a\xff"
        "b",
        RowStatus::kDone);
    EXPECT_EQ(Rows(), (std::vector<WideRow>{{L"a\uFFFDb", L"完了"}}));
}

TEST_F(ResultsListViewTest, LineBreaksAndReorderingMarksOfANameShowAsEscapes) {
    list.AddResult("a\nb\u202e", RowStatus::kDone);
    EXPECT_EQ(Rows(), (std::vector<WideRow>{{L"a\\nb\\u202e", L"完了"}}));
}

}  // namespace
}  // namespace karuneo::win32
