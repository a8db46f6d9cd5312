#include "window/rules/progress_text.h"

#include <array>
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
        case WorkPhase::kExtracting:
            return progress.stopping ? "中止しています" : "展開中";
    }
    return {};
}

// An archive tells no count ahead: what is out so far, with no total.
std::string ExtractedSoFar(const WorkProgress& progress) {
    return GroupedNumber(progress.done) + " 件 (" + ShortBytes(progress.bytes) + ") を展開";
}

}  // namespace

std::string GroupedNumber(long long number) {
    std::string digits = std::to_string(number < 0 ? -number : number);
    for (auto at = static_cast<long long>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    }
    return number < 0 ? "-" + digits : digits;
}

std::string ShortBytes(unsigned long long bytes) {
    constexpr unsigned long long kKilo = 1024;
    constexpr std::array<std::string_view, 4> kUnits{"KB", "MB", "GB", "TB"};
    if (bytes < kKilo) {
        return std::to_string(bytes) + " B";
    }
    // Tenths, rounded down, so that a figure never shows more than is out.
    unsigned long long tenths = bytes / kKilo * 10 + bytes % kKilo * 10 / kKilo;
    std::size_t unit = 0;
    while (tenths >= 10 * kKilo && unit + 1 < kUnits.size()) {
        tenths /= kKilo;
        ++unit;
    }
    const std::string whole = GroupedNumber(static_cast<long long>(tenths / 10));
    const std::string shown = tenths < 100 ? whole + "." + std::to_string(tenths % 10) : whole;
    return shown + " " + std::string(kUnits.at(unit));
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
        const bool moving =
            progress.phase == WorkPhase::kMoving || progress.phase == WorkPhase::kExtracting;
        lines.entries = moving ? count + "を移動" : count;
        lines.percent = static_cast<int>(progress.done * 100 / progress.total);
        lines.counted = true;
    } else if (progress.phase == WorkPhase::kExtracting && progress.done > 0) {
        lines.entries = ExtractedSoFar(progress);
    }
    if (progress.waiting > 0) {
        lines.waiting =
            "あと " + GroupedNumber(static_cast<long long>(progress.waiting)) + " フォルダ";
    }
    lines.can_stop = progress.can_stop;
    return lines;
}

}  // namespace karuneo
