#include "engine/extract/junk_hidden.h"

#include <algorithm>
#include <array>

#include "engine/entry_path.h"

namespace karuneo::extract {

bool IsArchiverJunk(std::string_view name) {
    constexpr std::array<std::string_view, 4> kJunk = {"__MACOSX", ".DS_Store", "Thumbs.db",
                                                       "desktop.ini"};
    return std::find(kJunk.begin(), kJunk.end(), name) != kJunk.end();
}

Failure JunkHidden::ListEntries(const EntryPath& folder, const EntryVisitor& visit) {
    if (!folder.IsRoot() || folder.Root() != EntryPath(root_).Root()) {
        return inner_.ListEntries(folder, visit);
    }
    return inner_.ListEntries(folder, [&visit](const Entry& entry) {
        if (!IsArchiverJunk(entry.name)) {
            return visit(entry);
        }
        Entry hidden = entry;
        hidden.is_hidden = true;
        return visit(hidden);
    });
}

}  // namespace karuneo::extract
