#include <QApplication>
#include <QLabel>

// The least Qt Widgets window that shows Japanese text: what the window's
// start-up is measured against.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("カルネオソフト"));
    label.show();
    return QApplication::exec();
}
