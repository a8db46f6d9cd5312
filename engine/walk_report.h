#pragma once

#include <string>
#include <string_view>

#include "engine/unnest.h"

namespace karuneo {

// The rows of one walk, each with its reason. A row that follows the rename
// of the chain's top first gives the chain its own name back, so that the
// reason can say where the chain stands now.

void ReportError(WalkContext& walk, std::string_view displayName, const Failure& failure,
                 const EntryPath& sParentPath, const std::string& sDeleteFolda);

// "完了" or "完了<フォルダは空>"; says so when a chain folder stayed.
void ReportDone(WalkContext& walk, std::string_view displayName, std::string_view status,
                const EntryPath& sParentPath, const std::string& sDeleteFolda);

// Gives the chain its own name back unless that was done or tried already.
void SettleChainName(WalkContext& walk, const EntryPath& sParentPath,
                     const std::string& sDeleteFolda);

}  // namespace karuneo
