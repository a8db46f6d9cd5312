#include "engine/extract/extracted_tree.h"

#include <optional>

#include "engine/extract/extract_journal.h"
#include "engine/file_system.h"

namespace karuneo::extract {

RecordedRemoval CheckRecordedTree(const std::string& folder, const Identity& identity,
                                  const std::vector<RecordedEntry>& recorded) {
    RecordedRemoval removal;
    const auto now_identity = IdentityOfPath(folder);
    if (!now_identity.ok() || !(now_identity.value() == identity)) {
        return removal;
    }
    const auto now = ListTree(folder);
    if (!now.ok()) {
        removal.first_difference = now.error().entry;
        return removal;
    }
    if (auto differs = FirstDifference(now.value(), recorded)) {
        removal.first_difference = *differs;
        return removal;
    }
    removal.as_recorded = true;
    return removal;
}

}  // namespace karuneo::extract
