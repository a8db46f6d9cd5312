#pragma once

namespace karuneo {

// What a result row says of its folder. The walk, the journal and the sinks
// decide by this; only what shows a row turns it into words (StatusText).
enum class RowStatus {
    kDone,       // flattened
    kDoneEmpty,  // flattened, and the folder is left empty
    kUntouched,  // not a chain: nothing was changed
    kError,      // a step failed or the work was stopped; the row says where things stand
};

}  // namespace karuneo
