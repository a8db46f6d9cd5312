#include "engine/walk_report.h"

#include <new>
#include <string_view>

#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/file_system.h"
#include "engine/path_separator.h"
#include "engine/reason/row_reason.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"
#include "engine/run/run_recorder.h"

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

void SettleChainName(WalkContext& walk, const EntryPath& sParentPath,
                     const std::string& sDeleteFolda) {
    ChainTop& top = walk.top;
    if (top.own_name.empty() || top.settled) {
        return;
    }
    top.settled = true;
    if (sDeleteFolda.empty()) {
        top.place = ChainPlace::kGone;
        walk.recorder.Settled(top.place);
        return;
    }
    // When a moved entry has taken that name, the temporary name stays.
    const bool back = !walk.fs.RenameFolder(sParentPath.Child(sDeleteFolda), top.own_name);
    top.place = back ? ChainPlace::kOwnName : ChainPlace::kTemporaryName;
    walk.recorder.Settled(top.place);
}

void ReportError(WalkContext& walk, const Failure& failure, const EntryPath& sParentPath,
                 const std::string& sDeleteFolda) {
    SettleChainName(walk, sParentPath, sDeleteFolda);
    ErrorReason reason = ReasonForFailure(walk.attempt, failure);
    reason.entry = NamedNow(walk, reason.entry, sDeleteFolda);
    reason.chain = walk.top.place;
    reason.chain_name = TopNameNow(walk, sDeleteFolda);
    walk.sink.AddResultWithReason(walk.displayName, RowStatus::kError, reason);
}

// "完了" or "完了<フォルダは空>"; says so when a chain folder stayed.
void ReportDone(WalkContext& walk, RowStatus status, const EntryPath& sParentPath,
                const std::string& sDeleteFolda) {
    SettleChainName(walk, sParentPath, sDeleteFolda);
    if (walk.kept.empty()) {
        walk.sink.AddResultWithReason(walk.displayName, status, RowReason{});
        return;
    }
    const bool temporary = walk.top.place == ChainPlace::kTemporaryName;
    walk.sink.AddResultWithReason(
        walk.displayName, status,
        KeptChainReason{NamedNow(walk, walk.kept, sDeleteFolda), walk.top.place,
                        temporary ? walk.top.own_name : std::string()});
}

// The failure that a sink which throws on a completed row leaves instead.
Failure ReportCompleted(WalkContext& walk, const Completed& row, const EntryPath& sParentPath,
                        const std::string& sDeleteFolda) {
    try {
        if (row.status == RowStatus::kUntouched) {
            walk.sink.AddResultWithReason(walk.displayName, row.status, row.reason);
        } else {
            ReportDone(walk, row.status, sParentPath, sDeleteFolda);
        }
        return {};
    } catch (const std::bad_alloc&) {
        return Failure(kOutOfMemory);
    } catch (...) {
        return Failure(kUnexpected);
    }
}

}  // namespace

void ReportOutcome(WalkContext& walk, const WalkOutcome& outcome, const EntryPath& sParentPath,
                   const std::string& sDeleteFolda) {
    Failure failure = outcome.error();
    if (!failure) {
        failure = ReportCompleted(walk, outcome.value(), sParentPath, sDeleteFolda);
    }
    if (failure) {
        ReportError(walk, failure, sParentPath, sDeleteFolda);
    }
}

}  // namespace karuneo
