#pragma once

#include <filesystem>
#include <vector>

#include "bench/bench_tree.h"

namespace karuneo::bench {

// Each moves every entry of the chain's deepest folder into the dropped
// folder and removes the emptied chain; true when it succeeded.
bool RunEngine(const Chain& chain);
bool RunFloor(const Chain& chain);
bool RunFindMv(const Chain& chain);
// Changes nothing: what `karuneo-cli --dry-run` does, its lines written to
// /dev/null; true when it foresaw the flattening.
bool RunDryRun(const Chain& chain);

// Undoes the run the chain had (made ready by RunEngine): true when every
// entry went back.
bool RunUndo(const Chain& chain);
// Makes ready a run cut off right after the top took its temporary name, as a
// kill leaves it; then finishes it as --recover does.
bool CutOffBeforeTheMoves(const Chain& chain);
bool RunFinishing(const Chain& chain);

// The same two over many dropped folders in one run; true when each gave 完了.
bool RunEngineOver(const std::vector<std::filesystem::path>& folders);
// The engine without its journal: what the journal costs.
bool RunUnjournaledOver(const std::vector<std::filesystem::path>& folders);
bool RunDryRunOver(const std::vector<std::filesystem::path>& folders);

}  // namespace karuneo::bench
