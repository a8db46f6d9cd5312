#pragma once

#include <string>
#include <string_view>

#include "engine/reason/row_reason.h"
#include "engine/row_status.h"

namespace karuneo {

// What a row's work was. The engine's statuses say how a folder came out;
// after an undo the same 完了 would tell a user the folder was flattened.
enum class RowWork { kRun, kUndo };

// One outcome row as the work hands it to a window.
struct FinishedRow {
    std::string dropped_path;  // as it was dropped or given
    std::string name;
    RowStatus status = RowStatus::kDone;
    RowReason reason;
    RowWork work = RowWork::kRun;
    RowKind kind = RowKind::kFolder;
};

// The status column's text: an undo that went through reads 元に戻しました,
// one that could not be done エラー (its reason says why); a run's row reads
// as the engine's status.
std::string_view FinishedStatusText(const FinishedRow& row);

}  // namespace karuneo
