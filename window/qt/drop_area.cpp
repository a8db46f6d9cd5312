#include "window/qt/drop_area.h"

#include <QColor>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPalette>

#include "window/rules/uri_list.h"

namespace karuneo {
namespace {

const QString kUriList = QStringLiteral("text/uri-list");

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
