#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "window/rules/history_list.h"
#include "window/rules/run_history.h"
#include "window/win32/fonts.h"

namespace karuneo::win32 {

// 履歴…, built in code like the rest of the window: the runs and
// extractions kept in the journal folder, newest first, and what the
// selected one allows. It runs no work: 元に戻す and 完了させる close it
// with the choice, for the window's work queue. 記録を消す, which touches
// only the journal, it does itself once the user agrees.
class HistoryDialog {
  public:
    // Asks `question` in a box owned by `owner`: true for yes.
    using Confirm = std::function<bool(HWND owner, const std::wstring& question)>;

    // The controls' identifiers; 閉じる is IDCANCEL, as Esc sends it.
    enum ControlId : int { kList = 10, kUndo = 11, kFinish = 12, kForget = 13 };

    explicit HistoryDialog(std::string journal_folder);
    HistoryDialog(const HistoryDialog&) = delete;
    HistoryDialog& operator=(const HistoryDialog&) = delete;
    ~HistoryDialog();

    // Creates the dialog, shown and owned by `owner`, and reads the runs;
    // false when it could not be created.
    bool Create(HWND owner);
    // Keeps `owner` disabled and takes the thread's messages until the
    // dialog closes: the choice, or none.
    std::optional<HistoryChoice> RunModal();

    HWND Handle() const { return window_; }
    HWND Control(int id) const { return ::GetDlgItem(window_, id); }
    const std::optional<HistoryChoice>& Choice() const { return choice_; }
    bool Closed() const { return window_ == nullptr; }
    void SetConfirm(Confirm confirm) { confirm_ = std::move(confirm); }

  private:
    static LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
    bool CreateControls();
    void FitToScreen(HWND owner);
    void PlaceControls();
    void Reload();
    void Fill();
    void SortBy(int column);
    void SelectJournal(const std::string& journal);
    void UpdateButtons();
    void OnCommand(int id);
    void Choose(HistoryAction action);
    void Forget();
    void Close();
    const HistoryRow* Selected() const;

    HistoryList history_;  // in the list's order
    std::optional<HistoryChoice> choice_;
    Confirm confirm_;

    HWND window_ = nullptr;
    HWND owner_ = nullptr;
    bool owner_disabled_ = false;  // by RunModal, until the dialog closes
    HWND list_ = nullptr;
    Font font_;
};

// Shows the dialog modal over `owner`: the choice, or none once closed.
std::optional<HistoryChoice> ShowHistoryDialog(HWND owner, const std::string& journal_folder);

}  // namespace karuneo::win32
