#include "window/qt/wait_cursor.h"

#include <QApplication>
#include <QCursor>

namespace karuneo {

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

}  // namespace karuneo
