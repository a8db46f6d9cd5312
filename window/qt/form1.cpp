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
#include <QShowEvent>
#include <QTimer>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

#include "engine/unnest.h"
#include "results/qt/results_list.h"
#include "window/qt/drop_area.h"
#include "window/qt/wait_cursor.h"
#include "window/rules/layout_rules.h"
#include "window/rules/twips.h"
#include "window/rules/window_settings.h"

namespace karuneo {
namespace {

// The client area the window opens with before any settings exist.
constexpr float kDesignClientWidth = 11145;
constexpr float kDesignClientHeight = 5625;

void Place(QWidget& widget, float left, float top, float width, float height) {
    widget.setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                       TwipsToPixels(height));
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
        qWarning("drop abandoned: %s", failure.what());
    } catch (...) {
        qWarning("drop abandoned");
    }
}

}  // namespace

Form1::Form1(SettingsStore& settings, FileSystemFactory make_file_system)
    : settings_(settings), make_file_system_(std::move(make_file_system)), geometry_(*this) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("カルネオソフト"));
    CreateControls();
    CreateMenu();
    layout_ = std::make_unique<QtResultsLayout>(*Frame1, *ListView1);
    resize(TwipsToPixels(kDesignClientWidth), TwipsToPixels(kDesignClientHeight));
    geometry_.SetMinimumOuterSize(kMinWindowWidth, kMinWindowHeight);
    Form_Load();
}

Form1::~Form1() = default;

void Form1::CreateControls() {
    Frame1 = new QGroupBox(QStringLiteral("処理結果"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Place(*Frame1, 3240, 120, 7815, 5055);

    Frame2 = new DropArea(QStringLiteral("↓ココへドラッグしてください↓"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Place(*Frame2, 120, 120, 2535, 2055);
    FitTitle(*Frame2);
    Frame2->SetDropHandler([this](const QMimeData& dropped) { Frame2_OLEDragDrop(dropped); });

    Label1 = new QLabel(QStringLiteral("→"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(ArrowFont());
    Place(*Label1, 2760, 840, 495, 735);

    ListView1 = new ResultsList(Frame1);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    Place(*ListView1, 240, 360, 7335, 4455);

    setTabOrder(Frame1, Frame2);
    setTabOrder(Frame2, Label1);
    setTabOrder(Label1, ListView1);
}

void Form1::CreateMenu() {
    mnu編集 = new QMenu(QStringLiteral("編集"), this);
    mnu編集->setObjectName(QStringLiteral("mnu編集"));
    mnu削除 = mnu編集->addAction(QStringLiteral("リスト全削除"));
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
    NothingEscapes([&] { ProcessPaths(DroppedPaths(dropped)); });
}

void Form1::ProcessPathsWhenShown(std::vector<std::string> paths) {
    paths_once_shown_ = std::move(paths);
    if (isVisible()) {
        ProcessPathsSoon();
    }
}

void Form1::ProcessPathsSoon() {
    if (paths_once_shown_.empty()) {
        return;
    }
    // Queued, so that the window is drawn before the work holds it up.
    QTimer::singleShot(0, this, [this] {
        NothingEscapes([this] { ProcessPaths(std::exchange(paths_once_shown_, {})); });
    });
}

void Form1::ProcessPaths(const std::vector<std::string>& paths) {
    const WaitCursor hourglass;
    const std::unique_ptr<FileSystem> fs = make_file_system_();
    for (const std::string& path : paths) {
        ListView1->SetDroppedPath(path);
        ProcessDroppedPath(path, *fs, *ListView1);
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
    ProcessPathsSoon();
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

}  // namespace karuneo
