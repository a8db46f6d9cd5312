#include "engine/journal/undo.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/file_system.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"
#include "engine/journal/run_checks.h"
#include "engine/reason/row_reason.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"
#include "engine/unnest.h"
#include "engine/walk_control.h"

namespace karuneo::journal {
namespace {

struct Found {
    std::string journal;
    JournalRun run;
    std::optional<Obstacle> refused;  // the run found cannot be undone at all
    std::string about;
};

bool SameFolder(const Identity& a, const Identity& b) {
    return a.device == b.device && a.id == b.id;
}

// A run to undo: the newest journal of this folder, by its path or its
// identity, that was not undone or finished anew under another journal.
Found FindLastRun(const std::string& journal_folder, const std::string& absolute,
                  const Identity& folder) {
    auto journals = ListJournals(journal_folder);
    std::reverse(journals.begin(), journals.end());
    for (const auto& path : journals) {
        const auto text = ReadJournal(path);
        auto run = ParseJournal(text.value);
        const bool same_path = run.value.root == absolute;
        if (!same_path && !SameFolder(run.value.root_identity, folder)) {
            continue;
        }
        if (!run.ok()) {
            return {path, {}, Obstacle::kJournalDamaged, std::to_string(run.error.system_code)};
        }
        if (run.value.undone || run.value.finished_anew) {
            continue;
        }
        if (!SameFolder(run.value.root_identity, folder)) {
            return {path, {}, Obstacle::kFolderReplaced, {}};
        }
        if (!run.value.closed) {
            return {path, {}, JournalInUse(path) ? Obstacle::kJournalInUse : Obstacle::kCutOff, {}};
        }
        return {path, std::move(run.value), std::nullopt, {}};
    }
    return {{}, {}, Obstacle::kNoRun, {}};
}

// The chain as the run found it: the top's own name, then the names below.
std::vector<std::string> ChainNames(const JournalRun& run) {
    std::vector<std::string> names{run.top};
    for (std::size_t i = 1; i < run.deepest.size(); ++i) {
        names.push_back(run.deepest[i]);
    }
    return names;
}

EntryPath Below(const EntryPath& root, const std::vector<std::string>& names, std::size_t count) {
    EntryPath path = root;
    for (std::size_t i = 0; i < count; ++i) {
        path = path.Child(names[i]);
    }
    return path;
}

// The look each chain folder had before the run; the top's from the header.
FolderLook LookOfLevel(const JournalRun& run, std::size_t depth) {
    if (depth == 0) {
        return run.top_look;
    }
    for (const auto& level : run.levels) {
        if (level.below.size() == depth + 1 &&
            std::equal(level.below.begin() + 1, level.below.end(), run.deepest.begin() + 1)) {
            return level.look;
        }
    }
    return run.top_look;
}

struct Plan {
    TopPlace top = TopPlace::kGone;
    // The top's name while the entries move back: its own, the temporary one
    // it kept, or a new temporary one when it must be made again. Its own
    // name may be held by an entry that is about to go back.
    std::string top_now;
    std::vector<std::string> chain;
    std::size_t levels_there = 0;  // chain folders that stand, from the top down
    std::vector<std::string> moved;
};

void CheckChain(FileSystem& fs, const EntryPath& root, const JournalRun& run, Plan& plan,
                Obstacles& obstacles) {
    plan.top = FindTop(fs, root, run);
    plan.chain = ChainNames(run);
    const bool moved_back =
        std::find(run.moved.begin(), run.moved.end(), run.top) != run.moved.end();
    if (plan.top != TopPlace::kOwnName && !moved_back && !IsFree(fs, root.Child(run.top))) {
        obstacles.Add(Obstacle::kNameTaken, run.top);
    }
    if (plan.top == TopPlace::kGone) {
        plan.top_now = GetBaseName(fs.GetTempName());
        return;
    }
    plan.top_now = TopName(run, plan.top);
    plan.levels_there = 1;
    EntryPath level = root.Child(plan.top_now);
    for (std::size_t i = 1; i < plan.chain.size(); ++i) {
        level = level.Child(plan.chain[i]);
        const auto identity = fs.Identify(level);
        if (identity.ok() && identity.value.kind == EntryKind::kFolder && plan.levels_there == i) {
            ++plan.levels_there;
        } else if (identity.ok()) {
            obstacles.Add(Obstacle::kChainChanged, level.Below());
        }
    }
}

void CheckMoved(FileSystem& fs, const EntryPath& root, const JournalRun& run, Plan& plan,
                Obstacles& obstacles) {
    const auto by_name = EntriesByName(run);
    const bool deepest_there = plan.levels_there == plan.chain.size();
    std::set<std::string> seen;
    for (const auto& name : run.moved) {
        const auto entry = by_name.find(name);
        if (entry == by_name.end() || !seen.insert(name).second) {
            continue;
        }
        plan.moved.push_back(name);
        const auto identity = fs.Identify(root.Child(name));
        if (!identity.ok()) {
            obstacles.Add(Obstacle::kEntryGone, name);
        } else if (identity.value.kind != entry->second->kind) {
            obstacles.Add(Obstacle::kEntryKindChanged, name);
        } else if (entry->second->id != 0 && identity.value.id != entry->second->id) {
            obstacles.Add(Obstacle::kEntryReplaced, name);
        }
        if (deepest_there) {
            EntryPath back = root.Child(plan.top_now);
            for (std::size_t i = 1; i < plan.chain.size(); ++i) {
                back = back.Child(plan.chain[i]);
            }
            if (!IsFree(fs, back.Child(name))) {
                obstacles.Add(Obstacle::kNameTaken, back.Child(name).Below());
            }
        }
    }
}

// Entries of the dropped folder now that neither the run moved nor were
// there before it: they stay, and the row names them.
std::vector<std::string> Newcomers(FileSystem& fs, const EntryPath& root, const JournalRun& run,
                                   const Plan& plan) {
    std::set<std::string> known(plan.moved.begin(), plan.moved.end());
    known.insert(run.hidden.begin(), run.hidden.end());
    known.insert(run.top);
    std::vector<std::string> stayed;
    (void)fs.ListEntries(root, [&](const Entry& entry) {
        if (known.count(entry.name) == 0) {
            stayed.push_back(entry.name);
        }
        return true;
    });
    std::sort(stayed.begin(), stayed.end());
    return stayed;
}

// The chain as it stands while the entries go back, its top under top_now.
std::vector<std::string> ChainNow(const Plan& plan) {
    std::vector<std::string> names = plan.chain;
    names.front() = plan.top_now;
    return names;
}

Failure BringChainBack(FileSystem& fs, const EntryPath& root, const Plan& plan) {
    const auto names = ChainNow(plan);
    for (std::size_t i = plan.levels_there; i < names.size(); ++i) {
        if (auto error = fs.CreateFolder(Below(root, names, i + 1))) {
            return error;
        }
    }
    return {};
}

Failure Execute(FileSystem& fs, const EntryPath& root, const JournalRun& run, const Plan& plan,
                WalkControl& control, Attempt& attempt) {
    attempt = Attempt::kOpen;
    if (auto error = BringChainBack(fs, root, plan)) {
        return error;
    }
    attempt = Attempt::kMove;
    const auto names = ChainNow(plan);
    const EntryPath deepest = Below(root, names, names.size());
    const auto total = static_cast<long long>(plan.moved.size());
    const BeforeEachEntry progress = [&control, total](std::size_t moved) -> Failure {
        control.MoveProgress(static_cast<long long>(moved), total);
        return {};
    };
    if (auto error = fs.MoveEntries(root, plan.moved, deepest, progress)) {
        return error;
    }
    if (plan.top_now != run.top) {
        attempt = Attempt::kRename;
        if (auto error = fs.RenameFolder(root.Child(plan.top_now), run.top)) {
            return error;
        }
    }
    attempt = Attempt::kOpen;
    for (std::size_t depth = plan.chain.size(); depth > 0; --depth) {
        if (auto error =
                fs.SetFolderLook(Below(root, plan.chain, depth), LookOfLevel(run, depth - 1))) {
            return error;
        }
    }
    return {};
}

void MarkUndone(const std::string& journal) {
    auto file = JournalFile::OpenExisting(journal);
    if (file.ok()) {
        (void)file.value->Append(kUndoneLine);
        (void)file.value->Sync();
    }
}

void Refuse(ResultSink& sink, const std::string& name, Obstacle obstacle, std::string about) {
    Obstacles obstacles;
    obstacles.Add(obstacle, std::move(about));
    sink.AddResultWithReason(name, RowStatus::kError, obstacles.Reason(JournalEvent::kNotUndone));
}

}  // namespace

void UndoLastRun(const std::string& path, FileSystem& fs, ResultSink& sink, WalkControl& control,
                 const std::string& journal_folder, bool record) {
    const EntryPath root(path);
    const HeldRoot held(fs, root);
    const auto name = fs.FolderName(root);
    if (name.error == kPathNotFound) {
        return;
    }
    const auto identity = fs.Identify(root);
    if (!name.ok() || !identity.ok()) {
        Refuse(sink, name.value, Obstacle::kFolderReplaced, {});
        return;
    }
    const Found found = FindLastRun(journal_folder, AbsolutePath(path), identity.value);
    if (found.refused) {
        Refuse(sink, name.value, *found.refused, found.about);
        return;
    }
    Plan plan;
    Obstacles obstacles;
    CheckChain(fs, root, found.run, plan, obstacles);
    CheckMoved(fs, root, found.run, plan, obstacles);
    if (obstacles.any()) {
        sink.AddResultWithReason(name.value, RowStatus::kError,
                                 obstacles.Reason(JournalEvent::kNotUndone));
        return;
    }
    Attempt attempt = Attempt::kOpen;
    if (auto error = Execute(fs, root, found.run, plan, control, attempt)) {
        JournalReason reason;
        reason.event = JournalEvent::kUndoStopped;
        reason.failure = ReasonForFailure(attempt, error);
        sink.AddResultWithReason(name.value, RowStatus::kError, reason);
        return;
    }
    if (record) {
        MarkUndone(found.journal);
    }
    JournalReason reason;
    reason.event = JournalEvent::kUndone;
    reason.stayed = Newcomers(fs, root, found.run, plan);
    sink.AddResultWithReason(name.value, RowStatus::kDone, reason);
}

}  // namespace karuneo::journal
