#pragma once

#include <string>

namespace karuneo {
struct WorkProgress;

// What the drop area says while work goes on, in Japanese, one line each:
// what is being done to which folder, how many of its entries are done, and
// how many folders wait behind it. The last two lines are left out while
// there is nothing to count.
struct ProgressLines {
    std::string folder;     // "処理中: NAME", "元に戻しています: NAME", ...
    std::string entries;    // "1,234 / 200,000 件を移動"
    std::string waiting;    // "あと 3 フォルダ"
    int percent = 0;        // for a progress bar: 0 to 100
    bool counted = false;   // whether `percent` means anything yet
    bool can_stop = false;  // 中止 is offered only where it would do something
};

ProgressLines DescribeProgress(const WorkProgress& progress);

// 1234567 as "1,234,567".
std::string GroupedNumber(long long number);

// A size as a person reads it: "512 B", "3.4 MB", "120 GB".
std::string ShortBytes(unsigned long long bytes);

}  // namespace karuneo
