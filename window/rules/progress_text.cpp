#include "window/rules/progress_text.h"

#include <cstddef>

#include "engine/entry_path.h"
#include "results/rules/escaped_text.h"
#include "window/worker/work_queue.h"

namespace karuneo {

std::string GroupedNumber(long long number) {
    std::string digits = std::to_string(number < 0 ? -number : number);
    for (auto at = static_cast<long long>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    }
    return number < 0 ? "-" + digits : digits;
}

ProgressLines DescribeProgress(const WorkProgress& progress) {
    ProgressLines lines;
    if (!progress.busy) {
        return lines;
    }
    const std::string name = EntryPath(progress.folder).LastName();
    lines.folder = "処理中: " + ShownInWindow(name.empty() ? progress.folder : name);
    if (progress.total > 0) {
        lines.entries =
            GroupedNumber(progress.moved) + " / " + GroupedNumber(progress.total) + " 件を移動";
        lines.percent = static_cast<int>(progress.moved * 100 / progress.total);
    }
    if (progress.waiting > 0) {
        lines.waiting =
            "あと " + GroupedNumber(static_cast<long long>(progress.waiting)) + " フォルダ";
    }
    return lines;
}

}  // namespace karuneo
