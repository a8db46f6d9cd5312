#include "results/qt/results_list.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <memory>
#include <utility>
#include <vector>

#include "window/rules/twips.h"

namespace karuneo {
namespace {

using Rows = std::vector<std::pair<QString, QString>>;

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

    QMenu menu;
    ResultsList list;
};

TEST_F(ResultsListTest, TwoHeadedColumnsShareTheListSixtyToForty) {
    ASSERT_EQ(list.columnCount(), 2);
    EXPECT_EQ(list.headerItem()->text(0), "フォルダ名");
    EXPECT_EQ(list.headerItem()->text(1), "処理結果");
    EXPECT_FALSE(list.rootIsDecorated());
    const float space = list.ColumnSpace();
    EXPECT_NEAR(list.columnWidth(0), TwipsToPixels(space * 0.6f), 1);
    EXPECT_NEAR(list.columnWidth(1), TwipsToPixels(space * 0.4f), 1);
    EXPECT_LE(list.columnWidth(0) + list.columnWidth(1), list.viewport()->width() + 1);
}

TEST_F(ResultsListTest, HeaderClickSortsOnceAndLaterRowsGoToTheEnd) {
    ClickHeader(0);  // nothing to sort yet
    list.AddResult("c", "完了");
    list.AddResult("a", "未処理");
    list.AddResult("b", "エラー");
    ClickHeader(0);
    EXPECT_EQ(Shown(), (Rows{{"a", "未処理"}, {"b", "エラー"}, {"c", "完了"}}));
    EXPECT_FALSE(list.isSortingEnabled());

    list.AddResult("0", "完了");
    EXPECT_EQ(Shown().back(), (std::pair<QString, QString>{"0", "完了"}));

    ClickHeader(1);
    // By status text, in the list's own text order; the last row joins in.
    EXPECT_EQ(Shown(), (Rows{{"b", "エラー"}, {"c", "完了"}, {"0", "完了"}, {"a", "未処理"}}));
}

TEST_F(ResultsListTest, RightClickPopsTheMenuUpEvenOnAnEmptyList) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(menu.isVisible());
    QTest::mousePress(list.viewport(), Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

TEST_F(ResultsListTest, RowsArriveInOrderAndRemovingThemKeepsTheColumns) {
    list.AddResult("b", "完了");
    list.AddResult("bad\xff", "エラー");
    EXPECT_EQ(Shown(), (Rows{{"b", "完了"}, {"bad\uFFFD", "エラー"}}));
    list.RemoveAllRows();
    EXPECT_EQ(list.topLevelItemCount(), 0);
    EXPECT_EQ(list.columnCount(), 2);
    EXPECT_EQ(list.headerItem()->text(1), "処理結果");
    list.AddResult("c", "未処理");
    EXPECT_EQ(Shown(), (Rows{{"c", "未処理"}}));
}

}  // namespace
}  // namespace karuneo
