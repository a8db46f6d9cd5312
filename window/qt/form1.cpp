#include "window/qt/form1.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QShortcut>
#include <QShowEvent>
#include <QThread>
#include <QTimer>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

#include "engine/journal/journal_file.h"
#include "results/qt/details_box.h"
#include "results/qt/results_list.h"
#include "window/qt/drop_area.h"
#include "window/rules/form_design.h"
#include "window/rules/layout_rules.h"
#include "window/rules/progress_text.h"
#include "window/rules/twips.h"
#include "window/rules/window_settings.h"
#include "window/worker/folder_work.h"

namespace karuneo {
namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Five times a second, rows and progress drawn together: a count and a
// bar that move at that pace read as live. Each tick lays out and draws three
// lines of Japanese text and the list's new rows; at 30 a second that cost
// the window thread a tenth of the run with many small folders.
constexpr int kProgressTickMs = 200;
// Rows that come while no progress is drawn wait no longer than this, and
// join the list together: each addition redraws the list.
constexpr int kRowsDelayMs = 100;
// A window hidden on another desktop is not drawn; its work starts anyway.
constexpr int kStartAnywayMs = 1000;

void Place(QWidget& widget, const TwipRect& place) {
    widget.setGeometry(TwipsToPixels(place.left), TwipsToPixels(place.top),
                       TwipsToPixels(place.width), TwipsToPixels(place.height));
}

// The arrow was drawn in MS PGothic; elsewhere any Japanese Gothic will do.
QFont ArrowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic")});
    font.setPointSizeF(20.25);
    font.setWeight(QFont::Normal);
    return font;
}

// Frame2 keeps its designed size, which the designed font just filled; a
// wider platform font would cut the arrow at the end of the title off.
void FitTitle(QGroupBox& frame) {
    constexpr int kTitleRoom = 12;  // pixels the style takes around a title
    constexpr qreal kSmallest = 6;
    const int room = frame.width() - kTitleRoom;
    QFont font = frame.font();
    const int advance = QFontMetrics(font).horizontalAdvance(frame.title());
    if (advance <= room || room <= 0) {
        return;
    }
    // Text grows nearly in proportion to its size, so start there: every
    // size tried loads fonts, which start-up pays for.
    const qreal proportional = std::floor(font.pointSizeF() * room / advance * 2) / 2;
    font.setPointSizeF(std::max(proportional, kSmallest));
    while (font.pointSizeF() > kSmallest &&
           QFontMetrics(font).horizontalAdvance(frame.title()) > room) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    frame.setFont(font);
}

// Nothing may leave an event handler; the engine itself never throws, so
// only running out of memory could land here.
template <typename Work>
void NothingEscapes(Work work) {
    try {
        work();
    } catch (const std::exception& failure) {
        qWarning("event abandoned: %s", failure.what());
    } catch (...) {
        qWarning("event abandoned");
    }
}

}  // namespace

Form1::Form1(SettingsStore& settings, FileSystemFactory make_file_system)
    : settings_(settings),
      geometry_(*this),
      journal_folder_(journal::DefaultJournalFolder()),
      queue_(std::make_unique<WorkQueue>(std::move(make_file_system), HandoffToThisThread(),
                                         JournaledUnnest(journal_folder_))) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(FromUtf8(form_design::kForm1Caption));
    CreateControls();
    CreateMenu();
    layout_ = std::make_unique<QtResultsLayout>(*Frame1, *ListView1);
    resize(TwipsToPixels(form_design::kDesignClientWidth),
           TwipsToPixels(form_design::kDesignClientHeight));
    geometry_.SetMinimumOuterSize(kMinWindowWidth, kMinWindowHeight);
    progress_tick_.setInterval(kProgressTickMs);
    // Rows and progress are drawn in one pass: two timers out of step
    // would have the window drawn twice as often.
    connect(&progress_tick_, &QTimer::timeout, this, [this] {
        ShowFinishedRows();
        ShowProgress();
    });
    rows_soon_.setSingleShot(true);
    rows_soon_.setInterval(kRowsDelayMs);
    connect(&rows_soon_, &QTimer::timeout, this, [this] { ShowFinishedRows(); });
    start_anyway_.setSingleShot(true);
    start_anyway_.setInterval(kStartAnywayMs);
    connect(&start_anyway_, &QTimer::timeout, this, [this] { StartOnceDrawn(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { StopWork(); });
    // Ctrl+Z undoes the run of the newest row, as an editor undoes the last
    // change.
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, [this] {
        if (const auto newest = ListView1->NewestDroppedPath()) {
            UndoRunOf(*newest);
        }
    });
    Form_Load();
}

Form1::~Form1() = default;

// Called on the worker thread: each row and the news that the queue ran dry
// travel as queued calls, in the order they were handed on, and are taken
// up here when the event loop comes to them.
WorkQueue::Handoff Form1::HandoffToThisThread() {
    return WorkQueue::Handoff{[this](FinishedRow row) {
                                  bool was_empty = false;
                                  {
                                      const std::lock_guard lock(inbox_mutex_);
                                      was_empty = inbox_.empty();
                                      inbox_.push_back(std::move(row));
                                  }
                                  if (was_empty) {
                                      QMetaObject::invokeMethod(
                                          this, [this] { NothingEscapes([this] { TakeInbox(); }); },
                                          Qt::QueuedConnection);
                                  }
                              },
                              [this] {
                                  QMetaObject::invokeMethod(
                                      this, [this] { NothingEscapes([this] { QueueDrained(); }); },
                                      Qt::QueuedConnection);
                              }};
}

void Form1::CreateControls() {
    Frame1 = new QGroupBox(FromUtf8(form_design::kFrame1Caption), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Place(*Frame1, form_design::kFrame1Place);

    Frame2 = new DropArea(FromUtf8(form_design::kFrame2Caption), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Place(*Frame2, form_design::kFrame2Place);
    FitTitle(*Frame2);
    Frame2->SetDropHandler([this](const QMimeData& dropped) { Frame2_OLEDragDrop(dropped); });
    Frame2->SetStopHandler([this] { StopWork(); });

    Label1 = new QLabel(FromUtf8(form_design::kLabel1Caption), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(ArrowFont());
    Place(*Label1, form_design::kLabel1Place);

    ListView1 = new ResultsList(Frame1);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    Place(*ListView1, form_design::kListView1Place);

    setTabOrder(Frame1, Frame2);
    setTabOrder(Frame2, Label1);
    setTabOrder(Label1, ListView1);
}

void Form1::CreateMenu() {
    mnu編集 = new QMenu(FromUtf8(form_design::kMnu編集Caption), this);
    mnu編集->setObjectName(QStringLiteral("mnu編集"));
    mnu元に戻す = mnu編集->addAction(FromUtf8(form_design::kMnu元に戻すCaption));
    mnu元に戻す->setObjectName(QStringLiteral("mnu元に戻す"));
    mnu元に戻す->setShortcut(QKeySequence::Undo);
    mnu元に戻す->setShortcutVisibleInContextMenu(true);
    connect(mnu元に戻す, &QAction::triggered, this, [this] { mnu元に戻す_Click(); });
    connect(mnu編集, &QMenu::aboutToShow, this,
            [this] { mnu元に戻す->setEnabled(ListView1->CurrentDroppedPath().has_value()); });
    mnu詳細 = mnu編集->addAction(FromUtf8(form_design::kMnu詳細Caption));
    mnu詳細->setObjectName(QStringLiteral("mnu詳細"));
    mnu詳細->setShortcut(QKeySequence(Qt::Key_Return));
    mnu詳細->setShortcutVisibleInContextMenu(true);
    connect(mnu詳細, &QAction::triggered, this, [this] { mnu詳細_Click(); });
    mnuコピー = mnu編集->addAction(FromUtf8(form_design::kMnuコピーCaption));
    mnuコピー->setObjectName(QStringLiteral("mnuコピー"));
    mnuコピー->setShortcut(QKeySequence::Copy);
    mnuコピー->setShortcutVisibleInContextMenu(true);
    connect(mnuコピー, &QAction::triggered, this, [this] { ListView1->CopySelectedRows(); });
    connect(mnu編集, &QMenu::aboutToShow, this, [this] {
        mnu詳細->setEnabled(ListView1->CurrentShownRow().has_value());
        mnuコピー->setEnabled(!ListView1->SelectedShownRows().empty());
    });
    ListView1->SetDetailsHandler([this] { mnu詳細_Click(); });
    mnu編集->addSeparator();
    mnu削除 = mnu編集->addAction(FromUtf8(form_design::kMnu削除Caption));
    mnu削除->setObjectName(QStringLiteral("mnu削除"));
    connect(mnu削除, &QAction::triggered, this, [this] { mnu削除_Click(); });
    ListView1->SetContextMenu(mnu編集);
}

void Form1::Form_Load() {
    RestoreWindowSettings(settings_, geometry_, ScreenAreas());
    ApplyLoadLayout(geometry_.Outer(), *layout_);
    watching_moves_ = true;
}

void Form1::Form_Resize() {
    sizing_pass_.Run(geometry_, *layout_, settings_);
}

void Form1::Form_Move() {
    SaveWindowSettings();
}

void Form1::Form_Unload() {
    watching_moves_ = false;
}

void Form1::Frame2_OLEDragDrop(const QMimeData& dropped) {
    NothingEscapes([&] { AddWork(DroppedPaths(dropped)); });
}

void Form1::ProcessPathsWhenShown(std::vector<std::string> paths) {
    AddWork(std::move(paths));
}

bool Form1::TakeHandoff(std::vector<std::string> paths) {
    if (close_when_drained_) {
        return false;
    }
    BringToFront();
    AddWork(std::move(paths));
    return true;
}

void Form1::BringToFront() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void Form1::AddWork(std::vector<std::string> paths) {
    if (started_) {
        Enqueue(std::move(paths));
        return;
    }
    paths_once_shown_.insert(paths_once_shown_.end(), std::make_move_iterator(paths.begin()),
                             std::make_move_iterator(paths.end()));
}

void Form1::StartOnceDrawn() {
    if (started_) {
        return;
    }
    started_ = true;
    start_anyway_.stop();
    // Runs that a crash, a kill or a power cut left half done come first:
    // their folders are the ones a user is waiting on.
    for (CutOffRun& run : CutOffRuns(journal_folder_)) {
        queue_->AddJob(std::move(run.folder), std::move(run.finish));
        ShowWorking(true);
    }
    Enqueue(std::exchange(paths_once_shown_, {}));
}

void Form1::mnu詳細_Click() {
    if (const auto row = ListView1->CurrentShownRow()) {
        DetailsBox details(this, FromUtf8(form_design::kDetailsTitle),
                           QString::fromStdString(DetailsText(*row)));
        details.exec();
    }
}

void Form1::mnu元に戻す_Click() {
    if (const auto folder = ListView1->CurrentDroppedPath()) {
        UndoRunOf(*folder);
    }
}

void Form1::UndoRunOf(const std::string& folder) {
    Q_ASSERT(QThread::currentThread() == thread());
    if (close_when_drained_) {
        return;
    }
    queue_->AddJob(folder, UndoLastRunWork(journal_folder_));
    ShowWorking(true);
}

void Form1::Enqueue(std::vector<std::string> paths) {
    Q_ASSERT(QThread::currentThread() == thread());
    if (paths.empty() || close_when_drained_) {
        return;
    }
    queue_->Add(std::move(paths));
    ShowWorking(true);
}

void Form1::StopWork() {
    Q_ASSERT(QThread::currentThread() == thread());
    queue_->Stop();
    // Folders that waited and were dropped bring no news of their own; with
    // none in hand, nothing will tell the window the queue ran dry.
    if (!queue_->Busy()) {
        ShowWorking(false);
    }
}

// The inbox stays full until the rows join the list, at the next progress
// tick while the window works: the worker, finding it so, wakes this thread
// once per batch, not once per row.
void Form1::TakeInbox() {
    Q_ASSERT(QThread::currentThread() == thread());
    if (!progress_tick_.isActive() && !rows_soon_.isActive()) {
        rows_soon_.start();
    }
}

void Form1::ShowFinishedRows() {
    rows_soon_.stop();
    std::vector<FinishedRow> rows;
    {
        const std::lock_guard lock(inbox_mutex_);
        rows.swap(inbox_);
    }
    if (!rows.empty()) {
        ListView1->AddFinishedRows(rows);
    }
}

void Form1::QueueDrained() {
    Q_ASSERT(QThread::currentThread() == thread());
    // Folders added after the worker ran dry keep it busy; their own news
    // comes later.
    if (queue_->Busy()) {
        return;
    }
    ShowFinishedRows();
    ShowWorking(false);
    if (close_when_drained_) {
        close();
    }
}

void Form1::ShowWorking(bool on) {
    working_ = on;
    if (on) {
        // The window answers while it works, so the pointer says busy, not wait.
        setCursor(Qt::BusyCursor);
        ShowProgress();
        progress_tick_.start();
    } else {
        unsetCursor();
        progress_tick_.stop();
        Frame2->ShowIdle();
    }
}

void Form1::ShowProgress() {
    Q_ASSERT(QThread::currentThread() == thread());
    const WorkProgress progress = queue_->Progress();
    // Ran dry a moment ago: the news is on its way, keep what is shown.
    if (progress.busy) {
        Frame2->ShowProgress(DescribeProgress(progress));
    }
}

void Form1::mnu削除_Click() {
    ListView1->RemoveAllRows();
}

void Form1::SaveWindowSettings() {
    SaveWindowState(geometry_, settings_);
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    geometry_.AdaptToFrame();
    Form_Resize();
}

void Form1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // A window manager frames a new window after its first sizing pass and
    // reports only a move; the outer size has grown by the frame, so the
    // layout must follow, or the first start differs from every later one.
    if (geometry_.AdaptToFrame() && isVisible()) {
        Form_Resize();
    }
    if (watching_moves_) {
        Form_Move();
    }
}

void Form1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Qt reports a change of state apart from any resize; minimising in
    // particular resizes nothing. Before the first showing, the pass that
    // showing starts takes care of it.
    if (event->type() == QEvent::WindowStateChange && isVisible()) {
        Form_Resize();
    }
}

void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!started_) {
        start_anyway_.start();
    }
}

void Form1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!started_) {
        // Queued, so that what was just drawn reaches the screen first.
        QTimer::singleShot(0, this, [this] { StartOnceDrawn(); });
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    if (working_) {
        // The folder in hand stops between two entries and gives its row;
        // the window closes once the worker says the queue ran dry.
        close_when_drained_ = true;
        queue_->StopForClosing();
        if (!queue_->Busy()) {
            ShowWorking(false);
        }
        if (working_) {
            event->ignore();
            return;
        }
    }
    Form_Unload();
    event->accept();
}

}  // namespace karuneo
