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

// What a row's path names: a folder, or an archive given to extract (or
// left unextracted). The statuses read alike for both; only a front end that
// labels the path tells them apart.
enum class RowKind { kFolder, kArchive };

}  // namespace karuneo
