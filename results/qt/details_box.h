#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;

namespace karuneo {

// 詳細: a row's details in a box that fits the screen its owner is on,
// however long the text; a long text scrolls inside it, selectable, above
// an OK that stays on screen.
class DetailsBox final : public QDialog {
  public:
    DetailsBox(QWidget* owner, const QString& title, const QString& text);

    const QPlainTextEdit& Text() const { return *text_; }

  private:
    void Place(QWidget* owner);

    QPlainTextEdit* text_;
};

}  // namespace karuneo
