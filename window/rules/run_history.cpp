#include "window/rules/run_history.h"

#include <algorithm>
#include <compare>
#include <tuple>

#include "engine/journal/journal_runs.h"
#include "results/rules/escaped_text.h"
#include "results/rules/local_time.h"

namespace karuneo {
namespace {

using journal::RunStateShown;

std::string_view StateText(RunStateShown state) {
    switch (state) {
        case RunStateShown::kFinished:
            return "完了";
        case RunStateShown::kCutOff:
            return "中断";
        case RunStateShown::kUndone:
            return "元に戻し済み";
        case RunStateShown::kUndo:
            return "元に戻す処理";
        case RunStateShown::kForgotten:
            return "記録を消去済み";
        case RunStateShown::kDamaged:
            return "読めない記録";
        case RunStateShown::kRunning:
            return "処理中";
    }
    return "?";
}

HistoryRow RowOf(const journal::KeptRun& run) {
    HistoryRow row;
    row.folder = run.folder;
    row.journal = run.journal;
    row.shown_folder =
        ShownInWindow(run.folder.empty() ? journal::FileName(run.journal) : run.folder);
    row.time = LocalTimeText(run.written);
    row.state = StateText(run.state);
    row.sequence = run.sequence;
    row.can_undo = run.undoable;
    row.can_finish = row.can_forget = run.state == RunStateShown::kCutOff;
    return row;
}

const std::string& Key(const HistoryRow& row, HistoryColumn column) {
    switch (column) {
        case HistoryColumn::kFolder:
            return row.shown_folder;
        case HistoryColumn::kTime:
            return row.time;
        case HistoryColumn::kState:
            break;
    }
    return row.state;
}

}  // namespace

std::vector<HistoryRow> ReadRunHistory(const std::string& journal_folder) {
    std::vector<HistoryRow> rows;
    const auto kept = journal::KeptRuns(journal_folder);
    rows.reserve(kept.size());
    for (auto run = kept.rbegin(); run != kept.rend(); ++run) {
        rows.push_back(RowOf(*run));
    }
    return rows;
}

bool Allows(const HistoryRow& row, HistoryAction action) {
    switch (action) {
        case HistoryAction::kUndo:
            return row.can_undo;
        case HistoryAction::kFinish:
            return row.can_finish;
        case HistoryAction::kForget:
            return row.can_forget;
    }
    return false;
}

HistoryChoice ChoiceOf(const HistoryRow& row, HistoryAction action) {
    return {action, row.folder, row.journal};
}

void SortHistory(std::vector<HistoryRow>& rows, HistoryColumn column, bool ascending) {
    std::stable_sort(rows.begin(), rows.end(), [&](const HistoryRow& a, const HistoryRow& b) {
        const auto& first = ascending ? a : b;
        const auto& second = ascending ? b : a;
        return std::tie(Key(first, column), b.sequence) < std::tie(Key(second, column), a.sequence);
    });
}

bool ForgetRun(const HistoryRow& row) {
    return row.can_forget && journal::ForgetCutOffRun(row.journal);
}

namespace history_design {

std::string ForgetQuestion(const HistoryRow& row) {
    return "「" + row.shown_folder +
           "」の中断した処理の記録を消しますか?\n"
           "フォルダには何もしません。消した処理は、後から完了させることも元に戻すこともできなく"
           "なります。";
}

}  // namespace history_design

}  // namespace karuneo
