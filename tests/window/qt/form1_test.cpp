#include "window/qt/form1.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/native_file_system.h"
#include "results/qt/results_list.h"
#include "tests/support/temp_tree.h"
#include "window/qt/qt_settings_store.h"
#include "window/rules/twips.h"

namespace karuneo {
namespace {

using Rows = std::vector<std::pair<QString, QString>>;

class Form1Test : public ::testing::Test {
  protected:
    // The store as another run would read it.
    QSettings Ini() const { return {settings_dir.filePath("karuneo.ini"), QSettings::IniFormat}; }
    QString Stored(const char* key) const { return Ini().value(QString("Main/") + key).toString(); }
    void Store(std::initializer_list<std::pair<const char*, const char*>> values) const {
        for (const auto& [key, value] : values) {
            Ini().setValue(QString("Main/") + key, value);
        }
    }

    void Open(std::vector<std::string> paths_at_start = {}) {
        // The factory is called once the pointer should already be the hourglass.
        form = std::make_unique<Form1>(store, [this] {
            const QCursor* cursor = QApplication::overrideCursor();
            cursor_at_work = cursor != nullptr ? cursor->shape() : Qt::ArrowCursor;
            return MakeNativeFileSystem();
        });
        form->ProcessPathsWhenShown(std::move(paths_at_start));
        Settle();
        ASSERT_EQ(List().topLevelItemCount(), 0) << "processed before the window was shown";
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Settle();
    }

    static void Settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
    }

    ResultsList& List() const { return *form->findChild<ResultsList*>("ListView1"); }
    QWidget& Child(const char* name) const { return *form->findChild<QWidget*>(name); }
    QRect Outer() const { return form->frameGeometry(); }

    Rows Shown() const {
        Rows rows;
        for (int i = 0; i < List().topLevelItemCount(); ++i) {
            rows.emplace_back(List().topLevelItem(i)->text(0), List().topLevelItem(i)->text(1));
        }
        return rows;
    }

    // Whether `target` took the drag at all.
    static bool Drop(QMimeData& data, QWidget& target) {
        QDragEnterEvent enter({20, 40}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&target, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop({20, 40}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&target, &drop);
        return true;
    }

    QTemporaryDir settings_dir;
    QtSettingsStore store{settings_dir.filePath("karuneo.ini")};
    Qt::CursorShape cursor_at_work = Qt::BlankCursor;
    std::unique_ptr<Form1> form;
};

QUrl Local(const testing::TempTree& tree, const std::string& name) {
    return QUrl::fromLocalFile(QString::fromStdString(tree.Path(name)));
}

TEST_F(Form1Test, DroppedFoldersGiveRowsInOrderUnderTheWaitCursor) {
    testing::TempTree tree;
    tree.Add({"deep/a/b/f1", "deep/a/b/f2", "flat/x", "plain.txt", "hollow/only/"});
    Open();
    QMimeData data;
    data.setUrls({Local(tree, "deep"), QUrl("https://example.com/deep"), Local(tree, "plain.txt"),
                  Local(tree, "flat"), Local(tree, "hollow")});
    ASSERT_TRUE(Drop(data, Child("Frame2")));

    EXPECT_EQ(Shown(),
              (Rows{{"deep", "完了"}, {"flat", "未処理"}, {"hollow", "完了<フォルダは空>"}}));
    EXPECT_TRUE(std::filesystem::exists(tree.root() / "deep" / "f1"));
    EXPECT_EQ(cursor_at_work, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Rows of folders with the same name are told apart by their tool tips,
    // which say, after the path, why a row is not 完了.
    EXPECT_EQ(List().topLevelItem(0)->toolTip(0), QString::fromStdString(tree.Path("deep")));
    EXPECT_EQ(List().topLevelItem(1)->toolTip(0),
              QString::fromStdString(tree.Path("flat")) +
                  QStringLiteral("\nファイル「x」が 1 つあるだけです。何も変更していません。"));
}

TEST_F(Form1Test, PathsGivenAtStartAreProcessedOnceShownAsADropWould) {
    testing::TempTree tree;
    tree.Add({"二番/中/下/f", "一番/x", "file.txt"});
    const std::string file = tree.Path("file.txt");
    Open({tree.Path("二番"), file, tree.Path("missing"), tree.Path("一番")});

    EXPECT_EQ(Shown(), (Rows{{"二番", "完了"}, {"一番", "未処理"}}));
    EXPECT_TRUE(std::filesystem::exists(tree.root() / "二番" / "f"));
    EXPECT_FALSE(std::filesystem::exists(tree.root() / "二番" / "中"));
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(cursor_at_work, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Form1Test, TheDropAreaIsHighlightedWhileADragItTakesIsOverIt) {
    testing::TempTree tree;
    tree.Add({"flat/x"});
    Open();
    QWidget& area = Child("Frame2");
    const auto middle = [&] { return area.grab().toImage().pixel(area.rect().center()); };
    const QRgb plain = middle();
    const auto enter = [&](QMimeData& data) {
        QDragEnterEvent event({20, 40}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&area, &event);
    };
    QMimeData web;
    web.setUrls({QUrl("https://example.com/d")});
    enter(web);
    EXPECT_EQ(middle(), plain);
    QMimeData local;
    local.setUrls({Local(tree, "flat")});
    enter(local);
    EXPECT_NE(middle(), plain);
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(&area, &leave);
    EXPECT_EQ(middle(), plain);
    ASSERT_TRUE(Drop(local, area));
    EXPECT_EQ(middle(), plain);
}

TEST_F(Form1Test, NamesThatAreNotUtf8SurviveTheDrop) {
    testing::TempTree tree;
    tree.Add({"bad\xff/inner/f"});
    Open();
    QMimeData data;
    data.setData("text/uri-list", QByteArray::fromStdString("file://" + tree.Path("bad%FF")));
    ASSERT_TRUE(Drop(data, Child("Frame2")));
    EXPECT_EQ(Shown(), (Rows{{"bad\uFFFD", "完了"}}));
    EXPECT_TRUE(std::filesystem::exists(tree.root() / "bad\xff" / "f"));
}

TEST_F(Form1Test, OnlyTheDropAreaTakesDropsAndOnlyOfLocalFiles) {
    testing::TempTree tree;
    tree.Add({"d/a/f"});
    Open();
    QMimeData web;
    web.setUrls({QUrl("https://example.com/d")});
    EXPECT_FALSE(Drop(web, Child("Frame2")));
    QMimeData local;
    local.setUrls({Local(tree, "d")});
    for (QWidget* elsewhere : {static_cast<QWidget*>(&List()), &Child("Frame1"), &Child("Label1"),
                               static_cast<QWidget*>(form.get())}) {
        EXPECT_FALSE(Drop(local, *elsewhere)) << elsewhere->objectName().toStdString();
    }
    EXPECT_TRUE(Shown().empty());
}

TEST_F(Form1Test, TheListKeepsItsTwoColumnsThroughSizingAndClearing) {
    Open();
    List().AddResult("a", "完了");
    form->resize(900, 500);
    for (const auto show :
         {&QWidget::showMinimized, &QWidget::showMaximized, &QWidget::showNormal}) {
        (form.get()->*show)();
        Settle();
    }
    form->findChild<QAction*>("mnu削除")->trigger();
    EXPECT_EQ(List().topLevelItemCount(), 0);
    EXPECT_EQ(List().columnCount(), 2);
}

TEST_F(Form1Test, FrameAndListFollowTheWindowButNotBelowTheMinimum) {
    Open();
    form->resize(900, 500);
    Settle();
    EXPECT_EQ(List().width(), TwipsToPixels(PixelsToTwips(Outer().width()) - 3600 - 540));
    form->resize(50, 20);
    Settle();
    EXPECT_EQ(Outer().size(), QSize(TwipsToPixels(6000), TwipsToPixels(2800)));
    EXPECT_EQ(Child("Frame2").geometry(), QRect(8, 8, 169, 137));
}

// A window manager frames a new window only after its first sizing pass.
TEST_F(Form1Test, AFrameThatComesLateIsLaidOutForAsAtEveryLaterStart) {
    form = std::make_unique<Form1>(store);
    form->setWindowFlag(Qt::FramelessWindowHint);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // Offscreen frames a window as it is placed, and reports only the move.
    form->setWindowFlag(Qt::FramelessWindowHint, false);
    form->show();
    form->move(form->pos() + QPoint(10, 10));
    Settle();
    const QRect framed = Outer();
    ASSERT_NE(framed.size(), form->size());
    const QRect list = List().geometry();
    form.reset();
    Open();
    EXPECT_EQ(Outer().size(), framed.size());
    EXPECT_EQ(List().geometry(), list);
}

TEST_F(Form1Test, FirstRunWritesAllFiveKeys) {
    Open();
    EXPECT_EQ(Ini().allKeys().size(), 5);
    EXPECT_EQ(Stored("WindowState"), "vbNomal");
    EXPECT_EQ(Stored("Width"), QString::number(Outer().width() * 15));
    EXPECT_EQ(Stored("Height"), QString::number(Outer().height() * 15));
    // Wherever the windowing system put it, in whole pixels.
    EXPECT_EQ(Stored("Left").toInt() % 15, 0);
}

TEST_F(Form1Test, SavedGeometryIsRestoredAsTheOuterRectangle) {
    Store({{"WindowState", "vbNomal"},
           {"Left", "1500"},
           {"Top", "750"},
           {"Width", "9000"},
           {"Height", "4500"}});
    Open();
    EXPECT_EQ(Outer(), QRect(100, 50, 600, 300));
}

TEST_F(Form1Test, NormalStateWithoutPositionOpensAtTheOriginClamped) {
    Store({{"WindowState", "vbNomal"}});
    Open();
    EXPECT_EQ(Outer(), QRect(0, 0, TwipsToPixels(6000), TwipsToPixels(2800)));
}

TEST_F(Form1Test, MaximisedStateOpensMaximised) {
    Store({{"WindowState", "vbMaximized"}, {"Width", "9000"}});
    Open();
    EXPECT_TRUE(form->isMaximized());
    form->showNormal();
    Settle();
    EXPECT_EQ(Stored("WindowState"), "vbNomal");
    EXPECT_EQ(Stored("Width"), QString::number(Outer().width() * 15));
}

TEST_F(Form1Test, PositionOnAVanishedScreenIsBroughtBack) {
    Store({{"WindowState", "vbNomal"},
           {"Left", "-150000"},
           {"Top", "90000"},
           {"Width", "90000"},
           {"Height", "4500"}});
    Open();
    EXPECT_TRUE(form->screen()->availableGeometry().contains(Outer()));
    EXPECT_EQ(Outer().height(), 300);
}

TEST_F(Form1Test, AMoveWritesTheSettingsAndMinimisingNothing) {
    Open();
    Ini().clear();
    form->move(120, 80);
    Settle();
    EXPECT_EQ(Ini().allKeys().size(), 5);
    EXPECT_EQ(Stored("Left"), "1800");
    EXPECT_EQ(Stored("Top"), "1200");
    Ini().clear();
    form->showMinimized();
    Settle();
    EXPECT_TRUE(Ini().allKeys().isEmpty());
}

}  // namespace
}  // namespace karuneo
