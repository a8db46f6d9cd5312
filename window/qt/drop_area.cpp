#include "window/qt/drop_area.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

#include "window/rules/uri_list.h"

namespace karuneo {
namespace {

const QString kUriList = QStringLiteral("text/uri-list");

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
    }
}

void DropArea::dragMoveEvent(QDragMoveEvent* event) {
    event->acceptProposedAction();
}

void DropArea::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    if (handler_) {
        handler_(*event->mimeData());
    }
}

}  // namespace karuneo
