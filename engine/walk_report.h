#pragma once

#include <string>

#include "engine/unnest.h"

namespace karuneo {
class EntryPath;

// Gives the one row of a walk, with its reason. When the chain's top was
// renamed, the chain first gets its own name back, so that the reason can say
// where the chain stands now. A "完了" says so when a chain folder stayed. A
// sink that throws on a completed row gets an "エラー" row in its place.
void ReportOutcome(WalkContext& walk, const WalkOutcome& outcome, const EntryPath& sParentPath,
                   const std::string& sDeleteFolda);

}  // namespace karuneo
