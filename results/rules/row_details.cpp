#include "results/rules/row_details.h"

#include "results/rules/escaped_text.h"

namespace karuneo {
namespace {

// The fields are display text already; escaping them again changes only
// the line breaks and tabs of texts that are not names, such as a reason.
std::string OneField(const std::string& text) {
    return EscapeControls(text, Backslash::kKept);
}

}  // namespace

std::string DetailsText(const ShownRow& row) {
    const char* heading = row.kind == RowKind::kArchive ? "アーカイブ: " : "フォルダ: ";
    std::string text = heading + row.path + "\n処理結果: " + row.status;
    if (!row.reason.empty()) {
        text += "\n理由: " + row.reason;
    }
    return text;
}

std::string TabSeparatedRows(const std::vector<ShownRow>& rows) {
    std::string text;
    for (const ShownRow& row : rows) {
        text += OneField(row.name) + '\t' + OneField(row.status) + '\t' + OneField(row.path) +
                '\t' + OneField(row.reason) + '\n';
    }
    return text;
}

}  // namespace karuneo
