#pragma once

#include <string>
#include <vector>

#include "engine/extract/extract_run.h"
#include "tests/engine/extract/archive_maker.h"
#include "tests/support/temp_tree.h"

namespace karuneo::testing {

// A file entry whose content is its own name, as TempTree's files are.
inline ArchivedEntry File(const std::string& name) {
    return {name, 'f', name, {}, 0644};
}
inline ArchivedEntry Folder(const std::string& name) {
    return {name, 'd', {}, {}, 0755};
}
inline ArchivedEntry Link(const std::string& name, const std::string& target) {
    return {name, 'l', {}, target, 0777};
}

struct ExtractedRow {
    std::string name;
    std::string status;
    std::string reason;  // in English
};

// Extracts the archive at `path` with the native file system, or only
// previews that with `dry_run`; the one row it gives.
ExtractedRow Extract(const std::string& path, bool dry_run,
                     const extract::ExtractOptions& options = {});

}  // namespace karuneo::testing
