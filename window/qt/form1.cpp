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
#include <QTimer>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

#include "engine/journal/journal_file.h"
#include "results/qt/details_box.h"
#include "results/qt/results_list.h"
#include "results/qt/utf8_text.h"
#include "window/qt/drop_area.h"
#include "window/qt/history_dialog.h"
#include "window/rules/form_design.h"
#include "window/rules/layout_rules.h"
#include "window/rules/progress_text.h"
#include "window/rules/twips.h"
#include "window/rules/window_settings.h"
#include "window/worker/folder_work.h"
#include "window/worker/work_session.h"

namespace karuneo {
namespace {

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
    : settings_(settings), geometry_(*this) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(FromUtf8(form_design::kForm1Caption));
    CreateControls();
    CreateMenu();
    layout_ = std::make_unique<QtResultsLayout>(*Frame1, *ListView1);
    resize(TwipsToPixels(form_design::kDesignClientWidth),
           TwipsToPixels(form_design::kDesignClientHeight));
    geometry_.SetMinimumOuterSize(kMinWindowWidth, kMinWindowHeight);
    tick_.setInterval(WorkSession::kTickMs);
    connect(&tick_, &QTimer::timeout, this,
            [this] { NothingEscapes([this] { session_->Tick(); }); });
    start_anyway_.setSingleShot(true);
    start_anyway_.setInterval(kStartAnywayMs);
    connect(&start_anyway_, &QTimer::timeout, this, [this] { StartOnceDrawn(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { session_->Stop(); });
    session_ = std::make_unique<WorkSession>(static_cast<WorkView&>(*this), PostingToThisThread(),
                                             std::move(make_file_system),
                                             JournaledSessionWork(journal::DefaultJournalFolder()));
    Form_Load();
}

// The session's worker is stopped and joined while the window is still
// whole: it may post to it until then.
Form1::~Form1() {
    session_.reset();
}

// Called on the worker thread: each call travels through Qt's queue, in the
// order it was posted, and is dropped if the window is gone by then.
PostToWindow Form1::PostingToThisThread() {
    return [this](std::function<void()> call) {
        QMetaObject::invokeMethod(
            this, [call = std::move(call)] { NothingEscapes(call); }, Qt::QueuedConnection);
    };
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
    Frame2->SetStopHandler([this] { session_->Stop(); });

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
    // Ctrl+Z is this item's shortcut: the window's, wherever the focus is.
    mnu元に戻す->setShortcutContext(Qt::WindowShortcut);
    addAction(mnu元に戻す);
    connect(mnu編集, &QMenu::aboutToShow, this, [this] { RefreshListActions(); });
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
    mnu履歴 = mnu編集->addAction(FromUtf8(form_design::kMnu履歴Caption));
    mnu履歴->setObjectName(QStringLiteral("mnu履歴"));
    connect(mnu履歴, &QAction::triggered, this,
            [this] { NothingEscapes([this] { mnu履歴_Click(); }); });
    mnu削除 = mnu編集->addAction(FromUtf8(form_design::kMnu削除Caption));
    mnu削除->setObjectName(QStringLiteral("mnu削除"));
    connect(mnu削除, &QAction::triggered, this, [this] { mnu削除_Click(); });
    mnu編集->addSeparator();
    mnu展開 = mnu編集->addAction(FromUtf8(form_design::kMnu展開Caption));
    mnu展開->setObjectName(QStringLiteral("mnu展開"));
    mnu展開->setCheckable(true);
    connect(mnu展開, &QAction::triggered, this, [this] { mnu展開_Click(); });
    ListView1->SetContextMenu(mnu編集);
}

void Form1::Form_Load() {
    const bool extract = LoadExtractArchives(settings_);
    mnu展開->setChecked(extract);
    session_->ExtractArchives(extract);
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
    NothingEscapes([&] { session_->Add(DroppedPaths(dropped)); });
}

void Form1::ProcessPathsWhenShown(std::vector<std::string> paths) {
    session_->Add(std::move(paths));
}

bool Form1::TakeHandoff(std::vector<std::string> paths) {
    if (session_->Closing()) {
        return false;
    }
    BringToFront();
    return session_->Add(std::move(paths));
}

void Form1::CloseSoon() {
    close();
}

void Form1::StopWorkForExit() {
    session_.reset();
}

void Form1::BringToFront() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void Form1::StartOnceDrawn() {
    start_anyway_.stop();
    session_->Start();
}

void Form1::mnu詳細_Click() {
    if (const auto row = ListView1->CurrentShownRow()) {
        DetailsBox details(this, FromUtf8(form_design::kDetailsTitle),
                           QString::fromStdString(DetailsText(*row)));
        details.exec();
    }
}

// The selected row's run, as the menu says; the newest row's when none is
// selected, as an editor undoes the last change.
void Form1::mnu元に戻す_Click() {
    auto folder = ListView1->CurrentDroppedPath();
    if (!folder) {
        folder = ListView1->NewestDroppedPath();
    }
    if (folder) {
        session_->Undo(*std::move(folder));
    }
}

void Form1::ShowBusy(bool busy) {
    if (busy) {
        // The window answers while it works, so the pointer says busy, not wait.
        setCursor(Qt::BusyCursor);
        tick_.start();
    } else {
        unsetCursor();
        tick_.stop();
        Frame2->ShowIdle();
    }
}

void Form1::ShowProgress(const WorkProgress& progress) {
    Frame2->ShowProgress(DescribeProgress(progress));
}

void Form1::AddRows(const std::vector<FinishedRow>& rows) {
    ListView1->AddFinishedRows(rows);
    RefreshListActions();
}

// What acts on the whole list, or on the newest row when none is selected,
// is offered while there is a row.
void Form1::RefreshListActions() {
    const bool any = ListView1->NewestDroppedPath().has_value();
    mnu元に戻す->setEnabled(any);
    mnu削除->setEnabled(ListView1->topLevelItemCount() > 0);
}

void Form1::CloseNow() {
    close();
}

// The kept runs; what the user chooses there is queued as any work is.
void Form1::mnu履歴_Click() {
    const std::string journal_folder = journal::DefaultJournalFolder();
    const auto choice = ShowHistory(this, journal_folder);
    if (!choice) {
        return;
    }
    if (auto job = JobForChoice(*choice, journal_folder)) {
        session_->AddJob(*std::move(job));
    }
}

// Drops from now on; what waits keeps what held when it was dropped.
void Form1::mnu展開_Click() {
    session_->ExtractArchives(mnu展開->isChecked());
    SaveExtractArchives(settings_, mnu展開->isChecked());
}

void Form1::mnu削除_Click() {
    ListView1->RemoveAllRows();
    RefreshListActions();
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
    if (!session_->Started()) {
        start_anyway_.start();
    }
}

void Form1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!session_->Started()) {
        // Queued, so that what was just drawn reaches the screen first.
        QTimer::singleShot(0, this, [this] { StartOnceDrawn(); });
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    // Working, the folder in hand stops between two entries and gives its
    // row; the window closes once the session says the work has stopped.
    if (!session_->Close()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

}  // namespace karuneo
