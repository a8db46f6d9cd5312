#pragma once

#include <ostream>
#include <string>

#include "engine/extract/entry_checks.h"
// The default argument below calls UninterruptedWalk().
#include "engine/walk_control.h"  // IWYU pragma: keep

namespace karuneo {
class FileSystem;
class ResultSink;
}  // namespace karuneo

namespace karuneo::extract {

struct ExtractOptions {
    // Nothing is created: the row and, to `changes`, what would be. The
    // archive is read whole all the same, its data checked and counted as
    // the real run would.
    bool dry_run = false;
    std::ostream* changes = nullptr;
    // The character set of names the archive does not mark as UTF-8;
    // empty to guess (UTF-8 when they are, else CP932).
    std::string name_encoding;
    ExpansionBounds bounds;
    // Where the journal of a real run goes, for its undo and recovery
    // (extract_recovery.h); empty for none.
    std::string journal_folder;
};

// Whether this build can extract at all.
bool CanExtract();

// Extracts the archive at `path` into a new folder beside it, named after
// it without its archive extensions ("foo (2)" when "foo" is taken), and
// un-nests that folder as a dropped folder is, but for the archivers' junk
// beside a single wrapper, which stays. The folder is made under a
// temporary name and given its own only when all of it is there; a refusal
// or failure part-way removes what the run made, and only that. The
// archive itself is only read. One row to `sink`, named by the archive.
void ExtractArchive(const std::string& path, FileSystem& fs, ResultSink& sink,
                    const ExtractOptions& options, WalkControl& control = UninterruptedWalk());

}  // namespace karuneo::extract
