#include "engine/walk_report.h"

#include "engine/path_separator.h"
#include "engine/status_text.h"

namespace karuneo {
namespace {

// The name the chain's top has now, once settled; empty when it is gone.
std::string TopNameNow(const WalkContext& walk, const std::string& sDeleteFolda) {
    switch (walk.top.place) {
        case ChainPlace::kOwnName:
            return walk.top.own_name;
        case ChainPlace::kTemporaryName:
            return sDeleteFolda;
        default:
            return {};
    }
}

// An entry found under the temporary name, named as the user finds it now.
std::string NamedNow(const WalkContext& walk, const std::string& entry,
                     const std::string& sDeleteFolda) {
    if (walk.top.place != ChainPlace::kOwnName || sDeleteFolda.empty() ||
        !entry.starts_with(sDeleteFolda)) {
        return entry;
    }
    const std::string_view rest = std::string_view(entry).substr(sDeleteFolda.size());
    if (!rest.empty() && rest.front() != kPathSeparator) {
        return entry;  // another name that merely starts alike
    }
    return walk.top.own_name + std::string(rest);
}

}  // namespace

void SettleChainName(WalkContext& walk, const EntryPath& sParentPath,
                     const std::string& sDeleteFolda) {
    ChainTop& top = walk.top;
    if (top.own_name.empty() || top.settled) {
        return;
    }
    top.settled = true;
    if (sDeleteFolda.empty()) {
        top.place = ChainPlace::kGone;
        return;
    }
    // When a moved entry has taken that name, the temporary name stays.
    const bool back = !walk.fs.RenameFolder(sParentPath.Child(sDeleteFolda), top.own_name);
    top.place = back ? ChainPlace::kOwnName : ChainPlace::kTemporaryName;
}

void ReportError(WalkContext& walk, std::string_view displayName, const Failure& failure,
                 const EntryPath& sParentPath, const std::string& sDeleteFolda) {
    SettleChainName(walk, sParentPath, sDeleteFolda);
    ErrorReason reason = ReasonForFailure(walk.attempt, failure);
    reason.entry = NamedNow(walk, reason.entry, sDeleteFolda);
    reason.chain = walk.top.place;
    reason.chain_name = TopNameNow(walk, sDeleteFolda);
    walk.sink.AddResultWithReason(displayName, kStatusError, reason);
}

void ReportDone(WalkContext& walk, std::string_view displayName, std::string_view status,
                const EntryPath& sParentPath, const std::string& sDeleteFolda) {
    SettleChainName(walk, sParentPath, sDeleteFolda);
    if (walk.kept.empty()) {
        walk.sink.AddResultWithReason(displayName, status, RowReason{});
        return;
    }
    const bool temporary = walk.top.place == ChainPlace::kTemporaryName;
    walk.sink.AddResultWithReason(
        displayName, status,
        KeptChainReason{NamedNow(walk, walk.kept, sDeleteFolda), walk.top.place,
                        temporary ? walk.top.own_name : std::string()});
}

}  // namespace karuneo
