#include "window/rules/progress_text.h"

#include <cstddef>
#include <string_view>

#include "engine/entry_path.h"
#include "results/rules/escaped_text.h"
#include "results/rules/work_progress.h"

namespace karuneo {
namespace {

std::string_view Doing(const WorkProgress& progress) {
    switch (progress.phase) {
        case WorkPhase::kIdle:
            return {};
        case WorkPhase::kMoving:
            // A stop here is about to become a put-back, which says so.
            return progress.stopping ? "中止しています" : "処理中";
        case WorkPhase::kPuttingBack:
        case WorkPhase::kUndoing:
            return progress.stopping && !progress.can_stop ? "中止しています" : "元に戻しています";
        case WorkPhase::kFinishing:
            return progress.stopping ? "中止しています" : "中断していた処理を完了しています";
        case WorkPhase::kLookingBack:
            return "前回の記録を確認しています";
    }
    return {};
}

}  // namespace

std::string GroupedNumber(long long number) {
    std::string digits = std::to_string(number < 0 ? -number : number);
    for (auto at = static_cast<long long>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    }
    return number < 0 ? "-" + digits : digits;
}

ProgressLines DescribeProgress(const WorkProgress& progress) {
    ProgressLines lines;
    if (!progress.busy()) {
        return lines;
    }
    lines.folder = std::string(Doing(progress));
    const std::string name = EntryPath(progress.folder).LastName();
    if (!progress.folder.empty()) {
        lines.folder += ": " + ShownInWindow(name.empty() ? progress.folder : name);
    }
    if (progress.total > 0) {
        const std::string count =
            GroupedNumber(progress.done) + " / " + GroupedNumber(progress.total) + " 件";
        lines.entries = progress.phase == WorkPhase::kMoving ? count + "を移動" : count;
        lines.percent = static_cast<int>(progress.done * 100 / progress.total);
        lines.counted = true;
    }
    if (progress.waiting > 0) {
        lines.waiting =
            "あと " + GroupedNumber(static_cast<long long>(progress.waiting)) + " フォルダ";
    }
    lines.can_stop = progress.can_stop;
    return lines;
}

}  // namespace karuneo
