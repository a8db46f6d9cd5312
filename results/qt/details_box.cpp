#include "results/qt/details_box.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "results/rules/details_box.h"

namespace karuneo {
namespace {

// A line of a mail or a book: longer lines are hard to read.
constexpr int kLineCharacters = 72;

BoxRect ToBox(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

}  // namespace

DetailsBox::DetailsBox(QWidget* owner, const QString& title, const QString& text)
    : QDialog(owner), text_(new QPlainTextEdit(text, this)) {
    setObjectName(QStringLiteral("詳細"));
    setWindowTitle(title);
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setFrameShape(QFrame::NoFrame);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    Place(owner);
}

void DetailsBox::Place(QWidget* owner) {
    const QFontMetrics metrics(text_->font());
    const int text_width = metrics.averageCharWidth() * kLineCharacters;
    QTextDocument laid_out;
    laid_out.setDefaultFont(text_->font());
    laid_out.setPlainText(text_->toPlainText());
    laid_out.setTextWidth(text_width);
    const int text_height = static_cast<int>(std::ceil(laid_out.size().height()));
    // What the box needs beside its text: margins, the OK row, a scroll bar.
    const QSize chrome = sizeHint() - text_->sizeHint();
    const int scroll_bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int wanted_width = text_width + std::max(0, chrome.width()) + scroll_bar;
    const int wanted_height = text_height + std::max(0, chrome.height()) + metrics.height();

    const QWidget* anchor = owner != nullptr ? owner->window() : nullptr;
    const QScreen* screen = anchor != nullptr ? anchor->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    // Placed by its frame, which the window manager adds as it did to the
    // owner's; none is known without an owner.
    QSize frame;
    QPoint inset;
    if (anchor != nullptr) {
        frame = anchor->frameGeometry().size() - anchor->size();
        inset = anchor->geometry().topLeft() - anchor->frameGeometry().topLeft();
    }
    const BoxRect owner_box = anchor != nullptr ? ToBox(anchor->frameGeometry()) : ToBox(area);
    const BoxRect placed = PlaceDetailsBox(wanted_width + frame.width(),
                                           wanted_height + frame.height(), owner_box, ToBox(area));
    setGeometry(placed.left + inset.x(), placed.top + inset.y(),
                std::max(0, placed.width - frame.width()),
                std::max(0, placed.height - frame.height()));
}

}  // namespace karuneo
