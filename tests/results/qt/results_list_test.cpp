#include "results/qt/results_list.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "engine/reason/row_reason.h"
#include "results/rules/bounded_text.h"

namespace karuneo {
namespace {

using Rows = std::vector<std::pair<QString, QString>>;

// The newest row is scrolled into view a moment after rows arrive.
void WaitForScroll() {
    QTest::qWait(100);
}

class ResultsListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        list.resize(489, 297);
        list.SetContextMenu(&menu);
        menu.addAction(QStringLiteral("リスト全削除"));
        list.CreateColumns();
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }

    Rows Shown() const {
        Rows rows;
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = list.topLevelItem(i);
            rows.emplace_back(row->text(0), row->text(1));
        }
        return rows;
    }

    void ClickHeader(int column) {
        QHeaderView* header = list.header();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }

    std::pair<int, Qt::SortOrder> Arrow() const {
        return {list.header()->sortIndicatorSection(), list.header()->sortIndicatorOrder()};
    }

    void ExpectColumnsFillTheVisibleWidth() const {
        EXPECT_EQ(list.columnWidth(0) + list.columnWidth(1), list.viewport()->width());
        EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
    }

    QMenu menu;
    ResultsList list;
};

TEST_F(ResultsListTest, TwoHeadedColumnsShareTheListSixtyToForty) {
    ASSERT_EQ(list.columnCount(), 2);
    EXPECT_EQ(list.headerItem()->text(0), "フォルダ名");
    EXPECT_EQ(list.headerItem()->text(1), "処理結果");
    EXPECT_FALSE(list.rootIsDecorated());
    EXPECT_NEAR(list.columnWidth(0), list.viewport()->width() * 0.6, 1);
    ExpectColumnsFillTheVisibleWidth();
}

TEST_F(ResultsListTest, ColumnsFillTheVisibleWidthWithOrWithoutAScrollBar) {
    for (const int height : {297, 120}) {
        list.resize(489, height);
        list.SetColumnWidths(3000, 2000);
        QTest::qWait(0);
        ExpectColumnsFillTheVisibleWidth();
        for (int i = 0; i < 30; ++i) {
            list.AddResult("row", RowStatus::kDone);
        }
        WaitForScroll();
        ASSERT_TRUE(list.verticalScrollBar()->isVisible());
        ExpectColumnsFillTheVisibleWidth();
        EXPECT_NEAR(list.columnWidth(0), list.viewport()->width() * 0.6, 1);
        // The newest row is in view, as the result of a drop must be.
        EXPECT_TRUE(list.viewport()->rect().contains(
            list.visualItemRect(list.topLevelItem(list.topLevelItemCount() - 1))));
        list.RemoveAllRows();
    }
}

// Each scroll lays the whole list out again; a burst of rows gets one.
TEST_F(ResultsListTest, ABurstOfRowsScrollsOnceToTheNewest) {
    int scrolls = 0;
    QObject::connect(list.verticalScrollBar(), &QScrollBar::valueChanged, &list,
                     [&] { ++scrolls; });
    for (int i = 0; i < 200; ++i) {
        list.AddFinishedRow(FinishedRow{"/d/D" + std::to_string(i), "D" + std::to_string(i),
                                        RowStatus::kDone, RowReason{}});
    }
    WaitForScroll();
    EXPECT_EQ(scrolls, 1);
    QTreeWidgetItem* newest = list.topLevelItem(199);
    EXPECT_TRUE(list.viewport()->rect().contains(list.visualItemRect(newest)));
    EXPECT_TRUE(newest->toolTip(0).contains(">/d/D199<")) << newest->toolTip(0).toStdString();
}

TEST_F(ResultsListTest, HeaderClicksSortEitherWayAndLaterRowsGoToTheEnd) {
    ClickHeader(0);  // nothing to sort yet
    list.AddResult("c", RowStatus::kDone);
    list.AddResult("a", RowStatus::kUntouched);
    list.AddResult("b", RowStatus::kError);
    EXPECT_EQ(list.header()->sortIndicatorSection(), -1) << "no arrow for rows as they came";
    ClickHeader(0);
    EXPECT_EQ(Shown(), (Rows{{"a", "未処理"}, {"b", "エラー"}, {"c", "完了"}}));
    EXPECT_EQ(Arrow(), (std::pair{0, Qt::AscendingOrder}));
    EXPECT_FALSE(list.isSortingEnabled());
    ClickHeader(0);
    EXPECT_EQ(Shown(), (Rows{{"c", "完了"}, {"b", "エラー"}, {"a", "未処理"}}));
    EXPECT_EQ(Arrow(), (std::pair{0, Qt::DescendingOrder}));

    list.AddResult("0", RowStatus::kDone);
    EXPECT_EQ(Shown().back(), (std::pair<QString, QString>{"0", "完了"}));
    EXPECT_EQ(list.header()->sortIndicatorSection(), -1) << "the rows are out of order now";

    ClickHeader(1);
    // By status text, in the list's own text order; the last row joins in,
    // equal statuses in the order they arrived, whichever way.
    EXPECT_EQ(Shown(), (Rows{{"b", "エラー"}, {"c", "完了"}, {"0", "完了"}, {"a", "未処理"}}));
    ClickHeader(1);
    EXPECT_EQ(Shown(), (Rows{{"a", "未処理"}, {"c", "完了"}, {"0", "完了"}, {"b", "エラー"}}));
    EXPECT_EQ(Arrow(), (std::pair{1, Qt::DescendingOrder}));
}

TEST_F(ResultsListTest, SortIsCaseInsensitiveWithNumbersByValue) {
    for (const char* name : {"b10", "a2", "B2", "A10", "a1", "フォルダ2", "フォルダ10"}) {
        list.AddResult(name, RowStatus::kDone);
    }
    ClickHeader(0);
    QStringList names;
    for (const auto& [name, status] : Shown()) {
        names << name;
    }
    EXPECT_EQ(names, (QStringList{"a1", "a2", "A10", "B2", "b10", "フォルダ2", "フォルダ10"}));
}

TEST_F(ResultsListTest, RightClickPopsTheMenuUpEvenOnAnEmptyList) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(menu.isVisible());
    QTest::mousePress(list.viewport(), Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

TEST_F(ResultsListTest, RowsArriveInOrderAndRemovingThemKeepsTheColumns) {
    list.AddResult("b", RowStatus::kDone);
    list.AddResult("bad\xff", RowStatus::kError);
    EXPECT_EQ(Shown(), (Rows{{"b", "完了"}, {"bad\uFFFD", "エラー"}}));
    list.RemoveAllRows();
    EXPECT_EQ(list.topLevelItemCount(), 0);
    EXPECT_EQ(list.columnCount(), 2);
    EXPECT_EQ(list.headerItem()->text(1), "処理結果");
    list.AddResult("c", RowStatus::kUntouched);
    EXPECT_EQ(Shown(), (Rows{{"c", "未処理"}}));
}

// A name may hold a line break or a mark that reverses what follows it: the
// row, its tip, its reason and what is copied show them as escapes, and a
// path keeps its single backslashes.
TEST_F(ResultsListTest, ControlsAndReorderingMarksOfANameShowAsEscapesEverywhere) {
    list.SetDroppedPath("/x/a\nb\u202e");
    list.AddResultWithReason("a\nb\u202e", RowStatus::kUntouched,
                             UntouchedReason{NotNested::kSingleFile, 1, {"f\tg\\h"}});
    EXPECT_EQ(Shown(), (Rows{{"a\\nb\\u202e", "未処理"}}));
    const QString tip = list.topLevelItem(0)->toolTip(0);
    EXPECT_TRUE(tip.contains("/x/a\\nb\\u202e")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("f\\tg\\h")) << tip.toStdString();

    list.selectAll();
    list.CopySelectedRows();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "a\\nb\\u202e\t未処理\t/x/a\\nb\\u202e\t"
              "ファイル「f\\tg\\h」が 1 つあるだけです。何も変更していません。\n");
}

TEST_F(ResultsListTest, ATipIsBoundedAndNothingInANameIsMarkup) {
    list.SetDroppedPath("/x/<b>D</b>");
    std::vector<std::string> many;
    for (int entry = 0; entry < 3000; ++entry) {
        many.push_back("entry" + std::to_string(entry));
    }
    list.AddResultWithReason("<b>D</b>", RowStatus::kUntouched,
                             UntouchedReason{NotNested::kEntries, 3000, many});
    list.AddResult("<b>E</b>", RowStatus::kDone);
    for (const int row : {0, 1}) {
        const QString tip = list.topLevelItem(row)->toolTip(0);
        EXPECT_TRUE(tip.contains("/x/&lt;b&gt;D&lt;/b&gt;")) << tip.toStdString();
        EXPECT_LE(tip.count("<br>"), static_cast<qsizetype>(kTipLines) - 1);
    }
    EXPECT_TRUE(list.topLevelItem(0)->toolTip(0).contains("…"));
}

// A keyboard user reaches everything a mouse does: the menu by Shift+F10
// and the menu key, a row's details by Enter, every row by Ctrl+A, and the
// rows by Ctrl+C.
TEST_F(ResultsListTest, TheKeyboardOpensTheMenuShowsDetailsAndCopiesRows) {
    list.SetDroppedPath("/x/D");
    list.AddResultWithReason("D", RowStatus::kUntouched,
                             UntouchedReason{NotNested::kSingleFile, 1, {"f"}});
    list.SetDroppedPath("/x/E");
    list.AddResult("E", RowStatus::kDone);
    list.setFocus();

    QTest::keyClick(&list, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(menu.isVisible()) << "Shift+F10 opens the menu";
    menu.close();
    QContextMenuEvent menu_key(QContextMenuEvent::Keyboard, {0, 0}, list.mapToGlobal(QPoint(0, 0)));
    QCoreApplication::sendEvent(list.viewport(), &menu_key);
    EXPECT_TRUE(menu.isVisible()) << "so does the menu key";
    menu.close();

    int details_asked = 0;
    list.SetDetailsHandler([&] { ++details_asked; });
    list.setCurrentItem(list.topLevelItem(0));
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(details_asked, 1);
    ASSERT_TRUE(list.CurrentShownRow().has_value());
    EXPECT_EQ(list.CurrentShownRow()->reason,
              "ファイル「f」が 1 つあるだけです。何も変更していません。");

    QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list.SelectedShownRows().size(), 2U);
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "D\t未処理\t/x/D\tファイル「f」が 1 つあるだけです。何も変更していません。\n"
              "E\t完了\t/x/E\t\n");
}

}  // namespace
}  // namespace karuneo
