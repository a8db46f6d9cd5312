#include "window/rules/run_history.h"

#include <algorithm>
#include <compare>
#include <memory>
#include <tuple>

#include "engine/extract/extract_recovery.h"
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

// The words of --history in Japanese: the dialog tells apart the states the
// tool does, and an extraction's say that it is one, as the tool's do.
std::string_view StateText(extract::ExtractionShown state) {
    switch (state) {
        case extract::ExtractionShown::kExtracted:
            return "展開済み";
        case extract::ExtractionShown::kCutOff:
            return "展開中断";
        case extract::ExtractionShown::kUndone:
            return "展開を元に戻し済み";
        case extract::ExtractionShown::kRemoved:
            return "展開中止";
        case extract::ExtractionShown::kRunning:
            return "展開中";
        case extract::ExtractionShown::kDamaged:
            return "読めない記録";
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
    row.can_undo = run.undoable;
    row.can_finish = row.can_forget = run.state == RunStateShown::kCutOff;
    return row;
}

// No 記録を消す: nothing retires an extraction's journal. A cut-off one
// asks only to be finished, which removes what it left or names it whole.
HistoryRow RowOf(const extract::KeptExtraction& extraction) {
    HistoryRow row;
    // What its undo is given: the folder it made, once the archive is gone.
    row.folder = extraction.undo_by.empty() ? extraction.archive : extraction.undo_by;
    row.journal = extraction.journal;
    row.shown_folder = ShownInWindow(
        extraction.archive.empty() ? journal::FileName(extraction.journal) : extraction.archive);
    row.time = LocalTimeText(extraction.written);
    row.state = StateText(extraction.state);
    row.kind = RowKind::kArchive;
    row.can_undo = !extraction.undo_by.empty();
    row.can_finish = extraction.state == extract::ExtractionShown::kCutOff;
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

// Runs and extractions are numbered apart, each in a folder of its own, so
// their numbers say nothing of which came first: between the two, the
// journals' write times decide, the times the dialog shows. Each keeps its
// own order all the same: an undo marks the journal of the run it undid,
// which a sort by time alone would lift above the runs after it.
std::vector<HistoryRow> ReadRunHistory(const std::string& journal_folder) {
    const auto runs = journal::KeptRuns(journal_folder);
    const auto extractions = extract::KeptExtractions(journal_folder);
    std::vector<HistoryRow> rows;
    rows.reserve(runs.size() + extractions.size());
    auto run = runs.rbegin();
    auto extraction = extractions.rbegin();
    while (run != runs.rend() || extraction != extractions.rend()) {
        if (extraction == extractions.rend() ||
            (run != runs.rend() && run->written >= extraction->written)) {
            rows.push_back(RowOf(*run++));
        } else {
            rows.push_back(RowOf(*extraction++));
        }
        rows.back().order = static_cast<long long>(runs.size() + extractions.size() - rows.size());
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
    return {action, row.folder, row.journal, row.kind};
}

void SortHistory(std::vector<HistoryRow>& rows, HistoryColumn column, bool ascending) {
    std::stable_sort(rows.begin(), rows.end(), [&](const HistoryRow& a, const HistoryRow& b) {
        const auto& first = ascending ? a : b;
        const auto& second = ascending ? b : a;
        return std::tie(Key(first, column), b.order) < std::tie(Key(second, column), a.order);
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
