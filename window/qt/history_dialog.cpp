#include "window/qt/history_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

#include "results/qt/utf8_text.h"

namespace karuneo {
namespace {

// A slot runs inside Qt's event dispatch, which an exception must not cross:
// what fails is left undone.
template <typename Slot>
auto Guarded(Slot slot) {
    return [slot = std::move(slot)](auto&&...) {
        try {
            slot();
        } catch (...) {
        }
    };
}

bool AskYesNo(QWidget* owner, const QString& question) {
    return QMessageBox::question(owner, FromUtf8(history_design::kForgetTitle), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QTableWidgetItem* Cell(const std::string& text) {
    auto* item = new QTableWidgetItem(FromUtf8(text));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

}  // namespace

HistoryDialog::HistoryDialog(std::string journal_folder, QWidget* parent)
    : QDialog(parent), history_(std::move(journal_folder)), confirm_(AskYesNo) {
    setWindowTitle(FromUtf8(history_design::kCaption));
    CreateControls();
    Reload();
    FitToScreen();
}

void HistoryDialog::CreateControls() {
    table_ = new QTableWidget(0, 3, this);
    table_->setHorizontalHeaderLabels({FromUtf8(history_design::kFolderColumn),
                                       FromUtf8(history_design::kTimeColumn),
                                       FromUtf8(history_design::kStateColumn)});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { Guarded([this, column] { SortBy(column); })(); });
    connect(table_, &QTableWidget::itemSelectionChanged, this,
            Guarded([this] { UpdateButtons(); }));

    auto* buttons = new QDialogButtonBox(this);
    undo_ =
        buttons->addButton(FromUtf8(history_design::kUndoCaption), QDialogButtonBox::ActionRole);
    finish_ =
        buttons->addButton(FromUtf8(history_design::kFinishCaption), QDialogButtonBox::ActionRole);
    forget_ =
        buttons->addButton(FromUtf8(history_design::kForgetCaption), QDialogButtonBox::ActionRole);
    QPushButton* close =
        buttons->addButton(FromUtf8(history_design::kCloseCaption), QDialogButtonBox::RejectRole);
    for (QPushButton* button : {undo_, finish_, forget_, close}) {
        button->setAutoDefault(false);
    }
    connect(undo_, &QPushButton::clicked, this, Guarded([this] { Choose(HistoryAction::kUndo); }));
    connect(finish_, &QPushButton::clicked, this,
            Guarded([this] { Choose(HistoryAction::kFinish); }));
    connect(forget_, &QPushButton::clicked, this, Guarded([this] { Forget(); }));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
}

// Wide enough for a long path and a few dozen runs, never beyond the screen.
void HistoryDialog::FitToScreen() {
    const QFontMetrics metrics = fontMetrics();
    QSize wanted(metrics.averageCharWidth() * 100, metrics.height() * 24);
    if (const QScreen* shown_on = parentWidget() != nullptr ? parentWidget()->screen() : screen()) {
        wanted = wanted.boundedTo(shown_on->availableGeometry().size() * 9 / 10);
    }
    resize(wanted);
}

QPushButton* HistoryDialog::Button(HistoryAction action) const {
    switch (action) {
        case HistoryAction::kUndo:
            return undo_;
        case HistoryAction::kFinish:
            return finish_;
        case HistoryAction::kForget:
            break;
    }
    return forget_;
}

void HistoryDialog::Reload() {
    history_.Reload();
    Fill();
}

void HistoryDialog::Fill() {
    const QSignalBlocker quiet(table_);
    table_->clearContents();
    const auto& rows = history_.Rows();
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < table_->rowCount(); ++i) {
        const HistoryRow& row = rows[static_cast<std::size_t>(i)];
        table_->setItem(i, 0, Cell(row.shown_folder));
        table_->setItem(i, 1, Cell(row.time));
        table_->setItem(i, 2, Cell(row.state));
        table_->item(i, 0)->setToolTip(FromUtf8(row.shown_folder));
    }
    UpdateButtons();
}

void HistoryDialog::SortBy(int column) {
    const std::string selected = Selected() != nullptr ? Selected()->journal : std::string();
    history_.SortBy(static_cast<HistoryColumn>(column));
    table_->horizontalHeader()->setSortIndicatorShown(true);
    table_->horizontalHeader()->setSortIndicator(
        column, history_.Ascending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    Fill();
    SelectJournal(selected);
}

void HistoryDialog::SelectJournal(const std::string& journal) {
    if (const auto at = history_.IndexOf(journal)) {
        table_->selectRow(static_cast<int>(*at));
    }
}

const HistoryRow* HistoryDialog::Selected() const {
    const auto picked = table_->selectionModel()->selectedRows();
    return picked.isEmpty() ? nullptr : history_.At(picked.front().row());
}

void HistoryDialog::UpdateButtons() {
    const HistoryRow* row = Selected();
    for (const auto action :
         {HistoryAction::kUndo, HistoryAction::kFinish, HistoryAction::kForget}) {
        Button(action)->setEnabled(Enables(row, action));
    }
}

void HistoryDialog::Choose(HistoryAction action) {
    const HistoryRow* row = Selected();
    if (!Enables(row, action)) {
        return;
    }
    choice_ = ChoiceOf(*row, action);
    accept();
}

void HistoryDialog::Forget() {
    const HistoryRow* row = Selected();
    if (row == nullptr || !row->can_forget ||
        !confirm_(this, FromUtf8(history_design::ForgetQuestion(*row)))) {
        return;
    }
    const std::string journal = row->journal;
    if (!ForgetRun(*row)) {
        QMessageBox::warning(this, FromUtf8(history_design::kForgetTitle),
                             FromUtf8(history_design::kForgetFailed));
    }
    Reload();
    SelectJournal(journal);
}

std::optional<HistoryChoice> ShowHistory(QWidget* parent, const std::string& journal_folder) {
    HistoryDialog dialog(journal_folder, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

}  // namespace karuneo
