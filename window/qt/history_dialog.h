#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "window/rules/history_list.h"
#include "window/rules/run_history.h"

class QPushButton;
class QTableWidget;

namespace karuneo {

// 履歴…: the runs and extractions kept in the journal folder, newest first,
// and what the selected one allows. It runs no work: 元に戻す and 完了させる
// close it with the choice, for the window's work queue. 記録を消す, which
// touches only the journal, it does itself once the user agrees.
class HistoryDialog final : public QDialog {
  public:
    // Asks `question` in a box owned by the dialog: true for yes.
    using Confirm = std::function<bool(QWidget* owner, const QString& question)>;

    explicit HistoryDialog(std::string journal_folder, QWidget* parent = nullptr);

    // Once exec() returned Accepted: the run and what to do with it.
    const std::optional<HistoryChoice>& Choice() const { return choice_; }
    void SetConfirm(Confirm confirm) { confirm_ = std::move(confirm); }

    QTableWidget* Table() const { return table_; }
    QPushButton* Button(HistoryAction action) const;

  private:
    void CreateControls();
    void FitToScreen();
    void Reload();
    void Fill();
    void SortBy(int column);
    void SelectJournal(const std::string& journal);
    void UpdateButtons();
    void Choose(HistoryAction action);
    void Forget();
    const HistoryRow* Selected() const;

    HistoryList history_;  // in the table's order
    std::optional<HistoryChoice> choice_;
    Confirm confirm_;

    QTableWidget* table_ = nullptr;
    QPushButton* undo_ = nullptr;
    QPushButton* finish_ = nullptr;
    QPushButton* forget_ = nullptr;
};

// Shows the dialog modal over `parent`: the choice, or none once closed.
std::optional<HistoryChoice> ShowHistory(QWidget* parent, const std::string& journal_folder);

}  // namespace karuneo
