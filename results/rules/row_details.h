#pragma once

#include <string>
#include <vector>

#include "engine/row_status.h"

namespace karuneo {

// One row as a user reads it, everything already display text: the folder's
// or archive's name, the status, the full path it was dropped as, and the
// reason (empty for a plain 完了).
struct ShownRow {
    std::string name;
    std::string status;
    std::string path;
    std::string reason;
    RowKind kind = RowKind::kFolder;
};

// What 詳細 shows for a row: path, status and reason, each on a line of its
// own under a heading; the path's heading says whether it is a folder or an
// archive, which a name alone may not tell.
std::string DetailsText(const ShownRow& row);

// What コピー puts on the clipboard: one line per row, name, status, full
// path and reason separated by tabs, for a mail or a bug report. A tab or a
// line break inside a field is written as \t or \n, so that every row stays
// one line of four fields; a backslash stays single, so that a Windows path
// pasted into Explorer still opens.
std::string TabSeparatedRows(const std::vector<ShownRow>& rows);

}  // namespace karuneo
