#include "window/qt/drop_area.h"

#include <QColor>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMimeData>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "window/rules/form_design.h"
#include "window/rules/progress_text.h"
#include "window/rules/uri_list.h"

namespace karuneo {
namespace {

const QString kUriList = QStringLiteral("text/uri-list");
// Between the frame and what the drop area shows while the window works.
constexpr int kMargin = 6;

// A tint of the selection colour: plainly marked, the title still legible.
QColor Tint(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Window);
    const QColor mark = palette.color(QPalette::Highlight);
    constexpr float kShare = 0.3f;
    return QColor::fromRgbF(base.redF() + (mark.redF() - base.redF()) * kShare,
                            base.greenF() + (mark.greenF() - base.greenF()) * kShare,
                            base.blueF() + (mark.blueF() - base.blueF()) * kShare);
}

}  // namespace

std::vector<std::string> DroppedPaths(const QMimeData& data) {
    // The raw bytes, not QMimeData::urls(): names need not be valid UTF-8.
    const QByteArray list = data.data(kUriList);
    return LocalPathsFromUriList(std::string_view(list.constData(), list.size()));
}

DropArea::DropArea(const QString& title, QWidget* parent) : QGroupBox(title, parent) {
    setAcceptDrops(true);
    CreateProgressControls();
    ShowIdle();
}

void DropArea::CreateProgressControls() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    column->setSpacing(2);
    for (QLabel** line : {&folder_line_, &entries_line_, &waiting_line_}) {
        *line = new QLabel(this);
        column->addWidget(*line);
    }
    folder_line_->setObjectName(QStringLiteral("ProgressFolder"));
    // "中断していた処理を完了しています: NAME" is wider than the area.
    folder_line_->setWordWrap(true);
    entries_line_->setObjectName(QStringLiteral("ProgressEntries"));
    waiting_line_->setObjectName(QStringLiteral("ProgressWaiting"));
    column->addStretch();
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar"));
    column->addWidget(bar_);
    stop_ =
        new QPushButton(QString::fromUtf8(form_design::kStopCaption.data(),
                                          static_cast<qsizetype>(form_design::kStopCaption.size())),
                        this);
    stop_->setObjectName(QStringLiteral("StopButton"));
    connect(stop_, &QPushButton::clicked, this, [this] {
        if (stop_handler_) {
            stop_handler_();
        }
    });
    column->addWidget(stop_);
}

void DropArea::ShowProgress(const ProgressLines& lines) {
    Q_ASSERT(QThread::currentThread() == thread());
    ShowLine(*folder_line_, lines.folder);
    ShowLine(*entries_line_, lines.entries);
    ShowLine(*waiting_line_, lines.waiting);
    // Busy until the deepest folder has been counted, then how far its move is.
    constexpr qint64 kBusyAfterMs = 500;
    if (lines.counted) {
        uncounted_.invalidate();
        bar_->setRange(0, 100);
        bar_->setValue(lines.percent);
    } else if (!uncounted_.isValid()) {
        uncounted_.start();
    } else if (uncounted_.elapsed() > kBusyAfterMs) {
        bar_->setRange(0, 0);
    }
    bar_->show();
    stop_->setEnabled(lines.can_stop);
    stop_->show();
}

void DropArea::ShowIdle() {
    Q_ASSERT(QThread::currentThread() == thread());
    uncounted_.invalidate();
    for (QWidget* control :
         {static_cast<QWidget*>(folder_line_), static_cast<QWidget*>(entries_line_),
          static_cast<QWidget*>(waiting_line_), static_cast<QWidget*>(bar_),
          static_cast<QWidget*>(stop_)}) {
        control->hide();
    }
}

void DropArea::ShowLine(QLabel& label, const std::string& text) {
    // A long folder name is cut in the middle, so both its ends stay readable.
    const QString full = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const int room = contentsRect().width() - 2 * kMargin;
    const QString shown = label.fontMetrics().elidedText(full, Qt::ElideMiddle, room);
    if (label.text() != shown) {
        label.setText(shown);
    }
    label.setToolTip(shown == full ? QString() : full);
    label.setVisible(!text.empty());
}

void DropArea::dragEnterEvent(QDragEnterEvent* event) {
    // A drag of web links alone is refused, so the pointer says so at once.
    if (event->mimeData()->hasFormat(kUriList) && !DroppedPaths(*event->mimeData()).empty()) {
        event->acceptProposedAction();
        SetHighlighted(true);
    }
}

void DropArea::dragLeaveEvent(QDragLeaveEvent* event) {
    SetHighlighted(false);
    QGroupBox::dragLeaveEvent(event);
}

void DropArea::dragMoveEvent(QDragMoveEvent* event) {
    event->acceptProposedAction();
}

void DropArea::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    SetHighlighted(false);
    if (handler_) {
        handler_(*event->mimeData());
    }
}

void DropArea::SetHighlighted(bool on) {
    if (on) {
        QPalette tinted = palette();
        tinted.setColor(QPalette::Window, Tint(tinted));
        setPalette(tinted);
    } else {
        // An empty palette gives back the inherited one.
        setPalette(QPalette());
    }
    setAutoFillBackground(on);
}

}  // namespace karuneo
