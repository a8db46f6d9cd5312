#include "results/qt/details_box.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

namespace karuneo {
namespace {

class DetailsBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        owner.resize(400, 300);
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    }

    QRect Area() const { return owner.screen()->availableGeometry(); }

    QWidget owner;
};

// A reason naming 3 000 entries made a box 13 110 pixels high, its OK far
// below the screen.
TEST_F(DetailsBoxTest, ALongTextScrollsInsideABoxOnTheScreenWithItsOk) {
    QString reason = QStringLiteral("理由: ");
    for (int entry = 0; entry < 3000; ++entry) {
        reason += QStringLiteral("「entry%1」、\n").arg(entry);
    }
    DetailsBox box(&owner, QStringLiteral("詳細"), reason);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_TRUE(Area().contains(box.geometry())) << box.height() << " of " << Area().height();
    const auto* ok = box.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_TRUE(box.rect().contains(QRect(ok->mapTo(&box, QPoint(0, 0)), ok->size())));
    EXPECT_GT(box.Text().verticalScrollBar()->maximum(), 0);
}

TEST_F(DetailsBoxTest, AShortTextShowsWholeInASmallBoxOverItsOwner) {
    DetailsBox box(&owner, QStringLiteral("詳細"),
                   QStringLiteral("フォルダ: /home/me/D\n処理結果: 完了"));
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_LT(box.height(), Area().height() / 2);
    EXPECT_EQ(box.Text().verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(box.frameGeometry().intersects(owner.frameGeometry()));
}

}  // namespace
}  // namespace karuneo
