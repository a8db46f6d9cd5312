#pragma once

#include <string>
#include <string_view>

#include "engine/display_text.h"
#include "engine/reason/row_reason.h"

namespace karuneo {

// How one name is shown; by default bytes that are not UTF-8 show U+FFFD.
using NameShown = std::string (*)(std::string_view name);

// A row's reason as a user reads it: short Japanese sentences in the
// windows, English on the command line; empty when the row has none. Each
// name of a path is shown by `shown`, the separators between them as they
// are. `folder_name` is the row's own name, for a reason about the dropped
// folder itself.
std::string ReasonInJapanese(const RowReason& reason, std::string_view folder_name,
                             NameShown shown = &ToDisplayText);
std::string ReasonInEnglish(const RowReason& reason, std::string_view folder_name,
                            NameShown shown = &ToDisplayText);

}  // namespace karuneo
