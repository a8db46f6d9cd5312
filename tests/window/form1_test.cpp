#include "window/form1.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "results/results_list.h"
#include "tests/support/temp_tree.h"
#include "tests/window/cursor_probe.h"
#include "window/qt_settings_store.h"
#include "window/twips.h"

namespace karuneo {
namespace {

using Rows = std::vector<std::pair<QString, QString>>;

class Form1Test : public ::testing::Test {
  protected:
    QString IniFile() const { return settings_dir.filePath(QStringLiteral("karuneo.ini")); }

    // What the store holds, read the way another run would read it.
    QString Stored(const char* key) const {
        return QSettings(IniFile(), QSettings::IniFormat)
            .value(QStringLiteral("Main/") + QLatin1String(key))
            .toString();
    }
    QStringList StoredKeys() const { return QSettings(IniFile(), QSettings::IniFormat).allKeys(); }
    void Store(const char* key, const QString& value) const {
        QSettings(IniFile(), QSettings::IniFormat)
            .setValue(QStringLiteral("Main/") + QLatin1String(key), value);
    }
    void ClearStore() const { QSettings(IniFile(), QSettings::IniFormat).clear(); }

    Form1& Open() {
        form = std::make_unique<Form1>(
            store, [this] { return std::make_unique<testing::CursorProbe>(cursor_shapes); });
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Settle();
        return *form;
    }

    static void Settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
    }

    ResultsList& List() const {
        return *form->findChild<ResultsList*>(QStringLiteral("ListView1"));
    }
    QWidget& Child(const char* name) const {
        return *form->findChild<QWidget*>(QString::fromLatin1(name));
    }

    Rows Shown() const {
        Rows rows;
        for (int i = 0; i < List().topLevelItemCount(); ++i) {
            rows.emplace_back(List().topLevelItem(i)->text(0), List().topLevelItem(i)->text(1));
        }
        return rows;
    }

    // Returns whether the drop area took the drag at all.
    bool Drop(QMimeData& data, QWidget* target = nullptr) {
        QWidget& area = target != nullptr ? *target : Child("Frame2");
        const QPoint inside(20, 40);
        QDragEnterEvent enter(inside, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&area, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(inside, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&area, &drop);
        return true;
    }

    QTemporaryDir settings_dir;
    QtSettingsStore store{IniFile()};
    std::vector<Qt::CursorShape> cursor_shapes;
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
    data.setUrls({Local(tree, "deep"), QUrl(QStringLiteral("https://example.com/deep")),
                  Local(tree, "plain.txt"), Local(tree, "flat"), Local(tree, "hollow")});
    ASSERT_TRUE(Drop(data));

    EXPECT_EQ(Shown(),
              (Rows{{"deep", "完了"}, {"flat", "未処理"}, {"hollow", "完了<フォルダは空>"}}));
    EXPECT_TRUE(std::filesystem::exists(tree.root() / "deep" / "f1"));
    EXPECT_EQ(cursor_shapes, std::vector<Qt::CursorShape>(cursor_shapes.size(), Qt::WaitCursor));
    EXPECT_GE(cursor_shapes.size(), 4u);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Form1Test, NamesThatAreNotUtf8SurviveTheDrop) {
    testing::TempTree tree;
    tree.Add({"bad\xff/inner/f"});
    Open();
    QMimeData data;
    const std::string url = "file://" + tree.Path("") + "/bad%FF\r\n";
    data.setData(QStringLiteral("text/uri-list"), QByteArray::fromStdString(url));
    ASSERT_TRUE(Drop(data));
    EXPECT_EQ(Shown(), (Rows{{"bad\uFFFD", "完了"}}));
    EXPECT_TRUE(std::filesystem::exists(tree.root() / "bad\xff" / "f"));
}

TEST_F(Form1Test, OnlyTheDropAreaTakesDropsAndOnlyOfLocalFiles) {
    testing::TempTree tree;
    tree.Add({"d/a/f"});
    Open();
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.com/d"))});
    EXPECT_FALSE(Drop(web));
    QMimeData local;
    local.setUrls({Local(tree, "d")});
    EXPECT_FALSE(Drop(local, &List()));
    EXPECT_FALSE(Drop(local, &Child("Frame1")));
    EXPECT_FALSE(Drop(local, form.get()));
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Form1Test, MenuClearsTheRowsAndKeepsTheColumns) {
    Open();
    List().AddResult("a", "完了");
    List().AddResult("b", "エラー");
    form->findChild<QAction*>(QStringLiteral("mnu削除"))->trigger();
    EXPECT_EQ(List().topLevelItemCount(), 0);
    EXPECT_EQ(List().columnCount(), 2);
}

TEST_F(Form1Test, ResizingMinimisingAndMaximisingNeverAddColumns) {
    Open();
    form->resize(900, 500);
    Settle();
    form->showMinimized();
    Settle();
    form->showMaximized();
    Settle();
    form->showNormal();
    Settle();
    EXPECT_EQ(List().columnCount(), 2);
}

TEST_F(Form1Test, FrameAndListFollowTheWindowButNotBelowTheMinimum) {
    Open();
    form->resize(900, 500);
    Settle();
    const float outer_width = PixelsToTwips(form->frameGeometry().width());
    const float outer_height = PixelsToTwips(form->frameGeometry().height());
    EXPECT_EQ(Child("Frame1").width(), TwipsToPixels(outer_width - 3600));
    EXPECT_EQ(List().width(), TwipsToPixels(outer_width - 3600 - 540));
    EXPECT_EQ(Child("Frame1").height(), TwipsToPixels(outer_height - 800));
    EXPECT_EQ(List().height(), TwipsToPixels(outer_height - 800 - 600));

    form->resize(50, 20);
    Settle();
    EXPECT_EQ(form->frameGeometry().width(), TwipsToPixels(6000));
    EXPECT_EQ(form->frameGeometry().height(), TwipsToPixels(2800));
    // The drop area never moves or resizes.
    EXPECT_EQ(Child("Frame2").geometry(), QRect(8, 8, 169, 137));
}

TEST_F(Form1Test, FirstRunWritesAllFiveKeys) {
    Open();
    EXPECT_EQ(Stored("WindowState"), "vbNomal");
    const QRect outer = form->frameGeometry();
    // Where the windowing system put the window, in whole pixels.
    for (const char* key : {"Left", "Top"}) {
        bool is_number = false;
        EXPECT_EQ(Stored(key).toInt(&is_number) % 15, 0) << key;
        EXPECT_TRUE(is_number) << key;
    }
    EXPECT_EQ(Stored("Width"), QString::number(outer.width() * 15));
    EXPECT_EQ(Stored("Height"), QString::number(outer.height() * 15));
    EXPECT_EQ(StoredKeys().size(), 5);
}

TEST_F(Form1Test, NormalStateWithoutPositionOpensAtTheOriginClamped) {
    Store("WindowState", QStringLiteral("vbNomal"));
    Open();
    const QRect outer = form->frameGeometry();
    EXPECT_EQ(outer.topLeft(), QPoint(0, 0));
    EXPECT_EQ(outer.width(), TwipsToPixels(6000));
    EXPECT_EQ(outer.height(), TwipsToPixels(2800));
}

TEST_F(Form1Test, SavedGeometryIsRestored) {
    Store("WindowState", QStringLiteral("vbNomal"));
    Store("Left", QStringLiteral("1500"));
    Store("Top", QStringLiteral("750"));
    Store("Width", QStringLiteral("9000"));
    Store("Height", QStringLiteral("4500"));
    Open();
    EXPECT_EQ(form->frameGeometry(), QRect(100, 50, 600, 300));
    EXPECT_FALSE(form->isMaximized());
}

TEST_F(Form1Test, MaximisedStateOpensMaximised) {
    Store("WindowState", QStringLiteral("vbMaximized"));
    Open();
    EXPECT_TRUE(form->isMaximized());
    EXPECT_EQ(List().columnCount(), 2);
}

TEST_F(Form1Test, MaximisingSavesTheStateRestoringTheGeometry) {
    Open();
    form->showMaximized();
    Settle();
    EXPECT_EQ(Stored("WindowState"), "vbMaximized");
    EXPECT_EQ(Child("Frame1").width(),
              TwipsToPixels(PixelsToTwips(form->frameGeometry().width()) - 3600));
    form->showNormal();
    Settle();
    EXPECT_EQ(Stored("WindowState"), "vbNomal");
    EXPECT_EQ(Stored("Width"), QString::number(form->frameGeometry().width() * 15));
}

TEST_F(Form1Test, PositionOnAVanishedScreenIsBroughtBack) {
    Store("WindowState", QStringLiteral("vbNomal"));
    Store("Left", QStringLiteral("-150000"));
    Store("Top", QStringLiteral("90000"));
    Store("Width", QStringLiteral("90000"));
    Store("Height", QStringLiteral("4500"));
    Open();
    const QRect screen = form->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(form->frameGeometry())) << form->frameGeometry().x();
    EXPECT_EQ(form->frameGeometry().height(), 300);
}

TEST_F(Form1Test, AMoveWritesTheSettings) {
    Open();
    ClearStore();
    form->move(120, 80);
    Settle();
    EXPECT_EQ(Stored("WindowState"), "vbNomal");
    EXPECT_EQ(Stored("Left"), "1800");
    EXPECT_EQ(Stored("Top"), "1200");
    EXPECT_EQ(StoredKeys().size(), 5);
}

TEST_F(Form1Test, MinimisingWritesNothing) {
    Open();
    ClearStore();
    form->showMinimized();
    Settle();
    EXPECT_TRUE(StoredKeys().isEmpty()) << StoredKeys().join(',').toStdString();
}

}  // namespace
}  // namespace karuneo
