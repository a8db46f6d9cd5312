#include "window/qt/form1.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engine/native_file_system.h"
#include "engine/testing/failing_file_system.h"
#include "results/qt/results_list.h"
#include "results/rules/row_details.h"
#include "tests/support/journal_tree.h"
#include "tests/support/temp_tree.h"
#include "window/qt/qt_settings_store.h"
#include "window/rules/twips.h"

namespace karuneo {
namespace {

using Rows = std::vector<std::pair<QString, QString>>;
using testing::FailingFileSystem;
using testing::Operation;

// Spins the window's event loop until `done`, for at most ten seconds.
bool SpinUntil(const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > 10'000) {
            return false;
        }
        QTest::qWait(2);
    }
    return true;
}

// Holds the worker inside the first folder before its `nth` move of an
// entry, until the test lets it go: the window must stay usable meanwhile.
class HeldWorker {
  public:
    explicit HeldWorker(int nth_move) : nth_move_(nth_move) {}

    // Called on the worker thread, once per folder.
    std::unique_ptr<FileSystem> Make() {
        const std::lock_guard lock(mutex_);
        inner_.push_back(MakeNativeFileSystem());
        auto fs = std::make_unique<FailingFileSystem>(*inner_.back());
        // Counted over every folder: work that moves nothing (the look for
        // runs left at start) may come first.
        fs->OnCall([this](int, Operation operation) {
            if (operation == Operation::kMoveEntries && ++moves_ == nth_move_) {
                Hold();
            }
        });
        return fs;
    }
    bool Holding() {
        const std::lock_guard lock(mutex_);
        return holding_;
    }
    void Release() {
        const std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

  private:
    void Hold() {
        std::unique_lock lock(mutex_);
        holding_ = true;
        changed_.wait(lock, [this] { return released_; });
    }

    const int nth_move_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::unique_ptr<FileSystem>> inner_;
    bool holding_ = false;
    bool released_ = false;
    std::atomic<int> moves_ = 0;
};

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

    void Open(std::vector<std::string> paths_at_start = {}, HeldWorker* held = nullptr) {
        // The factory is called on the worker as each folder begins.
        form = std::make_unique<Form1>(store, [this, held] {
            drawn_when_work_began = drawn.load();
            return held != nullptr ? held->Make() : MakeNativeFileSystem();
        });
        form->installEventFilter(&paint_watch);
        form->ProcessPathsWhenShown(std::move(paths_at_start));
        Settle();
        ASSERT_EQ(List().topLevelItemCount(), 0) << "processed before the window was shown";
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Settle();
    }

    // Until the queue has run dry and the window shows it.
    void WaitForRows() const {
        ASSERT_TRUE(SpinUntil([this] { return !form->Working(); }));
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

    QString DropAreaLine(const char* name) const {
        const auto* line = form->findChild<QLabel*>(name);
        return line->isVisible() ? line->text() : QString();
    }

    // Whether the window had been drawn, seen from the window thread.
    struct PaintWatch : QObject {
        explicit PaintWatch(std::atomic<bool>& drawn) : drawn_(drawn) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                drawn_ = true;
            }
            return false;
        }
        std::atomic<bool>& drawn_;
    };

    QTemporaryDir settings_dir;
    QtSettingsStore store{settings_dir.filePath("karuneo.ini")};
    std::atomic<bool> drawn{false};
    std::atomic<bool> drawn_when_work_began{false};
    PaintWatch paint_watch{drawn};
    std::unique_ptr<Form1> form;
};

QUrl Local(const testing::TempTree& tree, const std::string& name) {
    return QUrl::fromLocalFile(QString::fromStdString(tree.Path(name)));
}

TEST_F(Form1Test, DroppedFoldersGiveRowsInOrderUnderTheBusyCursor) {
    testing::TempTree tree;
    tree.Add({"deep/a/b/f1", "deep/a/b/f2", "flat/x", "plain.txt", "hollow/only/", "arc.zip"});
    Open();
    QMimeData data;
    data.setUrls({Local(tree, "deep"), QUrl("https://example.com/deep"), Local(tree, "plain.txt"),
                  Local(tree, "flat"), Local(tree, "hollow"), Local(tree, "arc.zip")});
    ASSERT_TRUE(Drop(data, Child("Frame2")));
    EXPECT_EQ(form->cursor().shape(), Qt::BusyCursor);
    WaitForRows();

    EXPECT_EQ(Shown(), (Rows{{"deep", "完了"},
                             {"flat", "未処理"},
                             {"hollow", "完了<フォルダは空>"},
                             {"arc.zip", "未処理"}}));
    List().setCurrentItem(List().topLevelItem(3));
    ASSERT_TRUE(List().CurrentShownRow().has_value());
    EXPECT_EQ(
        DetailsText(*List().CurrentShownRow()).rfind("アーカイブ: " + tree.Path("arc.zip"), 0), 0u);
    EXPECT_TRUE(std::filesystem::exists(tree.root() / "deep" / "f1"));
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Rows of folders with the same name are told apart by their tool tips,
    // which say, after the path, why a row is not 完了.
    // Tips are rich text, wrapped by the list at a readable width (a long
    // path too): the path on a line of its own, the reason below it.
    const auto unwrapped = [](QString tip) { return tip.remove(QStringLiteral("<br>")); };
    EXPECT_TRUE(unwrapped(List().topLevelItem(0)->toolTip(0))
                    .contains(QString::fromStdString(tree.Path("deep")).toHtmlEscaped()));
    const QString tip = List().topLevelItem(1)->toolTip(0);
    EXPECT_TRUE(Qt::mightBeRichText(tip));
    EXPECT_TRUE(unwrapped(tip).contains(QString::fromStdString(tree.Path("flat")).toHtmlEscaped()));
    EXPECT_TRUE(tip.contains(
        QStringLiteral("<br>ファイル「x」が 1 つあるだけです。何も変更していません。</p>")));
}

TEST_F(Form1Test, PathsGivenAtStartAreProcessedOnceDrawnAsADropWould) {
    testing::TempTree tree;
    tree.Add({"二番/中/下/f", "一番/x", "file.txt"});
    const std::string file = tree.Path("file.txt");
    Open({tree.Path("二番"), file, tree.Path("missing"), tree.Path("一番")});
    WaitForRows();

    EXPECT_TRUE(drawn_when_work_began) << "the window stayed blank while the work went on";
    EXPECT_EQ(Shown(), (Rows{{"二番", "完了"}, {"一番", "未処理"}}));
    EXPECT_TRUE(std::filesystem::exists(tree.root() / "二番" / "f"));
    EXPECT_FALSE(std::filesystem::exists(tree.root() / "二番" / "中"));
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Form1Test, FoldersQueueInOrderAcrossTheStartAndDropsWhileWorking) {
    testing::TempTree tree;
    tree.AddEmptyFiles("P/A/B", 20);
    tree.Add({"Q/A/f", "R/x", "S/A/g"});
    HeldWorker held(5);
    Open({tree.Path("P"), tree.Path("Q")}, &held);
    ASSERT_TRUE(SpinUntil([&] { return held.Holding(); }));
    QMimeData data;
    data.setUrls({Local(tree, "R"), Local(tree, "S")});
    ASSERT_TRUE(Drop(data, Child("Frame2")));
    form->TakeHandoff({tree.Path("Q")});
    Settle();

    // The window answers while the worker is held, and says what it does.
    EXPECT_EQ(DropAreaLine("ProgressFolder"), "処理中: P");
    EXPECT_EQ(DropAreaLine("ProgressEntries"), "4 / 20 件を移動");
    EXPECT_EQ(DropAreaLine("ProgressWaiting"), "あと 4 フォルダ");
    EXPECT_TRUE(Child("StopButton").isVisible());
    held.Release();
    WaitForRows();

    EXPECT_EQ(
        Shown(),
        (Rows{{"P", "完了"}, {"Q", "完了"}, {"R", "未処理"}, {"S", "完了"}, {"Q", "未処理"}}));
    EXPECT_FALSE(Child("StopButton").isVisible());
    EXPECT_TRUE(DropAreaLine("ProgressFolder").isEmpty());
}

TEST_F(Form1Test, EscapeStopsBetweenTwoEntriesAndDropsTheWaitingFolders) {
    testing::TempTree tree;
    tree.AddEmptyFiles("P/A/B", 50);
    tree.Add({"Q/A/f"});
    const auto before = testing::FileContents(tree.Take("P"));
    HeldWorker held(10);
    Open({tree.Path("P"), tree.Path("Q")}, &held);
    ASSERT_TRUE(SpinUntil([&] { return held.Holding(); }));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_Escape);
    held.Release();
    WaitForRows();

    ASSERT_EQ(Shown(), (Rows{{"P", "エラー"}}));
    EXPECT_TRUE(List().topLevelItem(0)->toolTip(0).contains("作業を中止しました"));
    EXPECT_EQ(testing::FileContents(tree.Take("P")), before);
    EXPECT_TRUE(std::filesystem::exists(tree.root() / "P" / "A" / "B"));
    EXPECT_TRUE(std::filesystem::exists(tree.root() / "Q" / "A" / "f"));
    EXPECT_FALSE(Child("StopButton").isVisible());
}

TEST_F(Form1Test, ClosingWhileWorkingStopsFirstAndClosesOnceTheWorkerIsDone) {
    testing::TempTree tree;
    tree.AddEmptyFiles("P/A/B", 50);
    const auto before = testing::FileContents(tree.Take("P"));
    HeldWorker held(10);
    Open({tree.Path("P")}, &held);
    ASSERT_TRUE(SpinUntil([&] { return held.Holding(); }));
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->TakeHandoff({tree.Path("P")})) << "a closing window takes no folders";
    QElapsedTimer closing;
    closing.start();
    held.Release();
    ASSERT_TRUE(SpinUntil([&] { return !form->isVisible(); }));
    EXPECT_LT(closing.elapsed(), 1000);

    EXPECT_EQ(Shown(), (Rows{{"P", "エラー"}}));
    EXPECT_EQ(testing::FileContents(tree.Take("P")), before);
}

TEST_F(Form1Test, CtrlZAndTheMenuUndoTheRunOfARow) {
    testing::TempTree tree;
    tree.Add({"D/A/B/f1", "D/A/B/G/g", "E/A/f"});
    const auto before_d = tree.Take("D");
    const auto before_e = tree.Take("E");
    Open({tree.Path("D"), tree.Path("E")});
    WaitForRows();
    ASSERT_EQ(Shown(), (Rows{{"D", "完了"}, {"E", "完了"}}));

    // Ctrl+Z takes the newest row's run back when no row is chosen.
    List().setCurrentItem(nullptr);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(SpinUntil([this] { return List().topLevelItemCount() == 3; }));
    WaitForRows();
    EXPECT_EQ(tree.Take("E"), before_e);

    // With a row chosen, Ctrl+Z takes back that row's run, as the menu's
    // 元に戻す does, not the newest.
    List().setCurrentItem(List().topLevelItem(0));
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(SpinUntil([this] { return List().topLevelItemCount() == 4; }));
    WaitForRows();
    EXPECT_EQ(
        Shown(),
        (Rows{{"D", "完了"}, {"E", "完了"}, {"E", "元に戻しました"}, {"D", "元に戻しました"}}));
    EXPECT_EQ(tree.Take("D"), before_d);

    // Once more: there is nothing left to undo, and the row says why.
    form->findChild<QAction*>("mnu元に戻す")->trigger();
    ASSERT_TRUE(SpinUntil([this] { return List().topLevelItemCount() == 5; }));
    WaitForRows();
    EXPECT_EQ(List().topLevelItem(4)->text(1), QStringLiteral("エラー"));
    EXPECT_TRUE(List().topLevelItem(4)->toolTip(0).contains("既に元に戻してあります"));
}

TEST_F(Form1Test, ARunThatWasCutOffIsFinishedWhenTheWindowStarts) {
    testing::TempTree tree;
    tree.AddEmptyFiles("D/A/B", 20);
    const auto flattened_names = testing::Layout(tree.Take("D/A/B"));
    testing::LeaveACutOffRun(tree.Path("D"), 12);
    ASSERT_NE(testing::Layout(tree.Take("D")), flattened_names);
    Open();
    // Looked for beside the window's start: busy only once found.
    ASSERT_TRUE(SpinUntil([this] { return List().topLevelItemCount() == 1; }));
    WaitForRows();
    ASSERT_EQ(Shown(), (Rows{{"D", "完了"}}));
    EXPECT_EQ(testing::Layout(tree.Take("D")), flattened_names);
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
    WaitForRows();
    EXPECT_EQ(middle(), plain);
}

TEST_F(Form1Test, NamesThatAreNotUtf8SurviveTheDrop) {
    testing::TempTree tree;
    tree.Add({"bad\xff/inner/f"});
    Open();
    QMimeData data;
    data.setData("text/uri-list", QByteArray::fromStdString("file://" + tree.Path("bad%FF")));
    ASSERT_TRUE(Drop(data, Child("Frame2")));
    WaitForRows();
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
    WaitForRows();
    EXPECT_TRUE(Shown().empty());
}

TEST_F(Form1Test, TheListKeepsItsTwoColumnsThroughSizingAndClearing) {
    Open();
    List().AddResult("a", RowStatus::kDone);
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

// What is kept, and how a start reads it back, is tested in window/rules; here,
// that the window hands them its outer rectangle and state, and opens as they
// say.
TEST_F(Form1Test, MovesAndStatesAreSavedAndTheNextStartOpensAsTheyWere) {
    Open();
    EXPECT_EQ(Stored("Width"), QString::number(Outer().width() * 15));
    EXPECT_EQ(Stored("Height"), QString::number(Outer().height() * 15));
    // Wherever the windowing system put it, in whole pixels.
    EXPECT_EQ(Stored("Left").toInt() % 15, 0);
    form->move(120, 80);
    Settle();
    EXPECT_EQ(Stored("Left"), "1800");
    EXPECT_EQ(Stored("Top"), "1200");
    form.reset();

    Store({{"WindowState", "vbNomal"},
           {"Left", "1500"},
           {"Top", "750"},
           {"Width", "9000"},
           {"Height", "4500"}});
    Open();
    EXPECT_EQ(Outer(), QRect(100, 50, 600, 300));
    form.reset();

    Store({{"WindowState", "vbMaximized"}});
    Open();
    EXPECT_TRUE(form->isMaximized());
}

// The minimum size, the layout down to it, and the screens as Qt reports them.
TEST_F(Form1Test, TheWindowKeepsToItsMinimumAndToTheScreens) {
    Open();
    form->resize(900, 500);
    Settle();
    EXPECT_EQ(List().width(), TwipsToPixels(PixelsToTwips(Outer().width()) - 3600 - 540));
    form->resize(50, 20);
    Settle();
    EXPECT_EQ(Outer().size(), QSize(TwipsToPixels(6000), TwipsToPixels(2800)));
    EXPECT_EQ(Child("Frame2").geometry(), QRect(8, 8, 169, 137));
    form.reset();

    Store({{"WindowState", "vbNomal"},
           {"Left", "-150000"},
           {"Top", "90000"},
           {"Width", "90000"},
           {"Height", "4500"}});
    Open();
    EXPECT_TRUE(form->screen()->availableGeometry().contains(Outer()));
    EXPECT_EQ(Outer().height(), 300);
}

}  // namespace
}  // namespace karuneo
