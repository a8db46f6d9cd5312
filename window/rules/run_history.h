#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/row_status.h"

namespace karuneo {

// What 履歴… offers to do with a kept run or extraction.
enum class HistoryAction { kUndo, kFinish, kForget };

// One kept run, or extraction, as the 履歴 dialog lists it.
struct HistoryRow {
    std::string folder;        // as its journal names it: what the work is given
    std::string journal;       // the journal's path
    std::string shown_folder;  // the folder for display; the journal's name when it names none
    std::string time;          // when its journal was last written (LocalTimeText)
    std::string state;
    RowKind kind = RowKind::kFolder;  // kArchive for an extraction, `folder` its archive
    long long order = 0;              // the place in the list as read, newest highest
    bool can_undo = false;    // the folder's last run, or the archive's last extraction, finished
                              // and not undone
    bool can_finish = false;  // cut off, and no process writes it
    bool can_forget = false;  // the same, for a run: an extraction's journal is never retired
};

// Every run and extraction kept in `journal_folder`, newest first. A run's
// journal is read by its head and last lines, never a long one whole: a
// thousand runs take a fraction of a second.
std::vector<HistoryRow> ReadRunHistory(const std::string& journal_folder);

bool Allows(const HistoryRow& row, HistoryAction action);

// What the dialog hands back for the window's work queue to run: 元に戻す
// undoes the last run on `folder` (UndoLastRunWork), 完了させる finishes
// the run of `journal` (journal::FinishCutOffRun); for an extraction, its
// undo (extract::UndoExtraction) or its recovery
// (extract::RecoverCutOffExtraction).
struct HistoryChoice {
    HistoryAction action = HistoryAction::kUndo;
    std::string folder;
    std::string journal;
    RowKind kind = RowKind::kFolder;
};
HistoryChoice ChoiceOf(const HistoryRow& row, HistoryAction action);

// The dialog's columns, in order. Sorting by one keeps the list's own
// order, newest first, among rows alike in it.
enum class HistoryColumn { kFolder, kTime, kState };
void SortHistory(std::vector<HistoryRow>& rows, HistoryColumn column, bool ascending);

// 記録を消す: retires the run's journal by a mark, asking nothing of its
// folder. False when the run has ended meanwhile, a process writes it, or
// the mark could not be written.
bool ForgetRun(const HistoryRow& row);

// The dialog's texts, the same in both windows.
namespace history_design {

inline constexpr std::string_view kCaption = "履歴";
inline constexpr std::string_view kFolderColumn = "フォルダ";
inline constexpr std::string_view kTimeColumn = "日時";
inline constexpr std::string_view kStateColumn = "状態";
inline constexpr std::string_view kUndoCaption = "元に戻す(&U)";
inline constexpr std::string_view kFinishCaption = "完了させる(&F)";
inline constexpr std::string_view kForgetCaption = "記録を消す(&D)";
inline constexpr std::string_view kCloseCaption = "閉じる";
inline constexpr std::string_view kForgetTitle = "記録を消す";
inline constexpr std::string_view kForgetFailed =
    "記録を消せませんでした。処理が終わったか、別のカルネオが処理中です。";

// Asked before 記録を消す, naming the folder.
std::string ForgetQuestion(const HistoryRow& row);

}  // namespace history_design

}  // namespace karuneo
