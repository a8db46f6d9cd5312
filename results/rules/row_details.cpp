#include "results/rules/row_details.h"

namespace karuneo {
namespace {

std::string OneField(const std::string& text) {
    std::string field;
    field.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '\t':
                field += "\\t";
                break;
            case '\n':
                field += "\\n";
                break;
            case '\r':
                field += "\\r";
                break;
            case '\\':
                field += "\\\\";
                break;
            default:
                field += c;
        }
    }
    return field;
}

}  // namespace

std::string DetailsText(const ShownRow& row) {
    std::string text = "フォルダ: " + row.path + "\n処理結果: " + row.status;
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
