#pragma once

#include "bench/bench_tree.h"

namespace karuneo::bench {

// Each moves every entry of the chain's deepest folder into the dropped
// folder and removes the emptied chain; true when it succeeded.
bool RunEngine(const Chain& chain);
bool RunFloor(const Chain& chain);
bool RunFindMv(const Chain& chain);

}  // namespace karuneo::bench
