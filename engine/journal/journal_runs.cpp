#include "engine/journal/journal_runs.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "engine/file_system.h"
#include "engine/journal/journal_file.h"
#include "engine/run/flatten_plan.h"

namespace karuneo::journal {
namespace {

bool SameFolder(const Identity& a, const Identity& b) {
    return a.device == b.device && a.id == b.id;
}

// The first version recorded the device number, which the system may give
// another disk after a remount; its runs are matched by path and inode.
bool SameFolder(const JournalRun& run, const std::string& absolute, const Identity& identity) {
    if (run.version == 1 && run.root == absolute) {
        return run.root_identity.id == identity.id;
    }
    return SameFolder(run.root_identity, identity);
}

void AddMadeTops(const JournalRun& undo, MadeTops& made) {
    for (const auto& level : undo.made) {
        if (level.depth == 0) {
            made.ids.push_back(level.identity.id);
        }
    }
    made.temps.insert(made.temps.end(), undo.temps.begin(), undo.temps.end());
}

RunFound Refused(std::string path, Obstacle obstacle, std::string about = {}) {
    RunFound found;
    found.journal = std::move(path);
    found.refused = obstacle;
    found.about = std::move(about);
    return found;
}

// What keeps the run from being undone, judged by its journal alone.
std::optional<Obstacle> Refusal(const std::string& path, const JournalRun& run,
                                const std::string& absolute, const Identity& identity) {
    if (run.undone) {
        return Obstacle::kAlreadyUndone;
    }
    if (!run.closed) {
        return JournalInUse(path) ? Obstacle::kJournalInUse : Obstacle::kCutOff;
    }
    if (!SameFolder(run, absolute, identity)) {
        return Obstacle::kFolderReplaced;
    }
    if (!run.planned || run.chain.empty()) {
        return Obstacle::kNothingChanged;
    }
    return std::nullopt;
}

RunFound Found(const std::string& path, JournalRun run, const std::vector<JournalRun>& undos,
               const std::string& absolute, const Identity& identity) {
    if (auto refusal = Refusal(path, run, absolute, identity)) {
        return Refused(path, *refusal);
    }
    RunFound found;
    found.journal = path;
    for (const auto& undo : undos) {
        if (undo.undoes == FileName(path)) {
            AddMadeTops(undo, found.made);
        }
    }
    found.run = std::move(run);
    return found;
}

bool OnFolder(const JournalRun& run, const std::string& absolute, const Identity& identity) {
    return run.root == absolute || SameFolder(run.root_identity, identity);
}

}  // namespace

std::string FileName(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

Result<JournalRun> ReadRun(const std::string& path) {
    const auto text = ReadJournal(path);
    if (!text.ok()) {
        return {JournalRun{}, text.error};
    }
    return ParseJournal(text.value);
}

RunFound FindLastRun(const std::string& journal_folder, const std::string& absolute,
                     const Identity& identity) {
    auto journals = ListJournals(journal_folder);
    std::reverse(journals.begin(), journals.end());
    std::vector<JournalRun> undos;
    for (const auto& path : journals) {
        auto run = ReadRun(path);
        if (!OnFolder(run.value, absolute, identity)) {
            continue;
        }
        if (!run.ok()) {
            return Refused(path, Obstacle::kJournalDamaged, std::to_string(run.error.system_code));
        }
        if (run.value.kind == JournalKind::kUndo) {
            undos.push_back(std::move(run.value));
            continue;
        }
        if (run.value.forgotten || run.value.finished_anew) {
            continue;
        }
        return Found(path, std::move(run.value), undos, absolute, identity);
    }
    return Refused({}, Obstacle::kNoRun);
}

RunFound FindRunOfUndo(const std::string& journal_folder, const std::string& undo_journal,
                       const Identity& identity) {
    std::vector<JournalRun> undos;
    std::string undoes;
    for (const auto& path : ListJournals(journal_folder)) {
        auto run = ReadRun(path);
        if (run.ok() && run.value.kind == JournalKind::kUndo) {
            if (path == undo_journal) {
                undoes = run.value.undoes;
            }
            undos.push_back(std::move(run.value));
        }
    }
    const std::string folder =
        undo_journal.substr(0, undo_journal.size() - FileName(undo_journal).size());
    auto run = ReadRun(folder + undoes);
    if (undoes.empty() || !run.ok()) {
        return Refused({}, Obstacle::kNoRun);
    }
    const std::string root = run.value.root;
    return Found(folder + undoes, std::move(run.value), undos, root, identity);
}

std::vector<KeptRun> KeptRuns(const std::string& journal_folder) {
    std::vector<KeptRun> kept;
    for (const auto& path : ListJournals(journal_folder)) {
        const auto run = ReadRun(path);
        KeptRun shown{path, run.value.root, static_cast<long long>(JournalSequence(path)),
                      RunStateShown::kFinished};
        if (!run.ok()) {
            shown.state = RunStateShown::kDamaged;
        } else if (run.value.kind == JournalKind::kUndo) {
            shown.state = run.value.closed ? RunStateShown::kUndo : RunStateShown::kCutOff;
        } else if (run.value.forgotten) {
            shown.state = RunStateShown::kForgotten;
        } else if (run.value.undone) {
            shown.state = RunStateShown::kUndone;
        } else if (!run.value.closed) {
            shown.state = RunStateShown::kCutOff;
        }
        kept.push_back(std::move(shown));
    }
    return kept;
}

int ForgetCutOffRuns(const std::string& journal_folder, const std::string& absolute, bool dry_run) {
    int forgotten = 0;
    for (const auto& path : ListJournals(journal_folder)) {
        const auto run = ReadRun(path);
        if (run.value.root != absolute || run.value.Ended() || JournalInUse(path)) {
            continue;
        }
        ++forgotten;
        if (!dry_run) {
            auto file = JournalFile::OpenExisting(path);
            if (file.ok()) {
                (void)file.value->Append(kForgottenLine);
                (void)file.value->Sync();
            }
        }
    }
    return forgotten;
}

}  // namespace karuneo::journal
