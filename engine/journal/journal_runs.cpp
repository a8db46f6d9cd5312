#include "engine/journal/journal_runs.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <set>
#include <string_view>
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

// FindLastRun passes over these on its way to a folder's last run.
bool PassedOver(const JournalRun& run) {
    return run.kind == JournalKind::kUndo || run.forgotten || run.finished_anew;
}

// The last whole mark of a journal and the few before it.
constexpr std::size_t kEndMarkBytes = 64;

// The head of a long journal up to its chain: what follows (the levels and
// the entries) tells a list nothing.
std::string_view UpToChain(std::string_view head) {
    const auto chain = head.find("\nchain ");
    const auto end =
        chain == std::string_view::npos ? head.rfind('\n') : head.find('\n', chain + 1);
    return end == std::string_view::npos ? std::string_view() : head.substr(0, end + 1);
}

}  // namespace

// What a list of runs needs of a journal. One that its head holds whole is
// read whole; a longer one (a run of thousands of entries) by its head and
// its last lines, so that a thousand of them cost a few megabytes at most.
PartlyRead<JournalRun> Glance(const std::string& path) {
    const auto head = ReadJournalHead(path, kJournalHeadBytes);
    if (!head.ok()) {
        return {JournalRun{}, head.error()};
    }
    if (head.value().size() < kJournalHeadBytes) {
        return ParseJournal(head.value());
    }
    auto run = ParseJournal(UpToChain(head.value()));
    const auto tail = ReadJournalTail(path, kEndMarkBytes);
    if (!run.ok() || !tail.ok()) {
        return {std::move(run.value()), run.ok() ? tail.error() : run.error()};
    }
    ReadEndMarks(tail.value(), run.value());
    // The recorder writes a plan whole or removes its journal, so that one
    // which was closed had its plan on the disk.
    run.value().planned = run.value().closed;
    return run;
}

namespace {

RunStateShown StateOf(const std::string& path, const PartlyRead<JournalRun>& read) {
    const JournalRun& run = read.value();
    if (!read.ok()) {
        return RunStateShown::kDamaged;
    }
    if (run.forgotten) {
        return RunStateShown::kForgotten;
    }
    if (!run.closed) {
        return JournalInUse(path) ? RunStateShown::kRunning : RunStateShown::kCutOff;
    }
    if (run.kind == JournalKind::kUndo) {
        return RunStateShown::kUndo;
    }
    return run.undone ? RunStateShown::kUndone : RunStateShown::kFinished;
}

bool Retire(const std::string& path) {
    auto file = JournalFile::OpenExisting(path);
    return file.ok() && !file.value()->Append(kForgottenLine) && !file.value()->Sync();
}

bool OnFolder(const JournalRun& run, const std::string& absolute, const Identity& identity) {
    return run.root == absolute || SameFolder(run.root_identity, identity);
}

}  // namespace

std::string FileName(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

PartlyRead<JournalRun> ReadRun(const std::string& path) {
    const auto text = ReadJournal(path);
    if (!text.ok()) {
        return {JournalRun{}, text.error()};
    }
    return ParseJournal(text.value());
}

RunFound FindLastRun(const std::string& journal_folder, const std::string& absolute,
                     const Identity& identity) {
    auto journals = ListJournals(journal_folder);
    std::reverse(journals.begin(), journals.end());
    std::vector<JournalRun> undos;
    for (const auto& path : journals) {
        auto run = ReadRun(path);
        if (!OnFolder(run.value(), absolute, identity)) {
            continue;
        }
        if (!run.ok()) {
            return Refused(path, Obstacle::kJournalDamaged,
                           std::to_string(run.error().system_code));
        }
        if (run.value().kind == JournalKind::kUndo) {
            undos.push_back(std::move(run.value()));
            continue;
        }
        if (PassedOver(run.value())) {
            continue;
        }
        return Found(path, std::move(run.value()), undos, absolute, identity);
    }
    return Refused({}, Obstacle::kNoRun);
}

RunFound FindRunOfUndo(const std::string& journal_folder, const std::string& undo_journal,
                       const Identity& identity) {
    std::vector<JournalRun> undos;
    std::string undoes;
    for (const auto& path : ListJournals(journal_folder)) {
        auto run = ReadRun(path);
        if (run.ok() && run.value().kind == JournalKind::kUndo) {
            if (path == undo_journal) {
                undoes = run.value().undoes;
            }
            undos.push_back(std::move(run.value()));
        }
    }
    const std::string folder =
        undo_journal.substr(0, undo_journal.size() - FileName(undo_journal).size());
    auto run = ReadRun(folder + undoes);
    if (undoes.empty() || !run.ok()) {
        return Refused({}, Obstacle::kNoRun);
    }
    const std::string root = run.value().root;
    return Found(folder + undoes, std::move(run.value()), undos, root, identity);
}

std::vector<KeptRun> KeptRuns(const std::string& journal_folder) {
    const auto journals = ListJournals(journal_folder);
    std::vector<KeptRun> kept(journals.size());
    std::set<std::string> judged;  // folders whose last run was met, newest first
    for (std::size_t i = journals.size(); i-- > 0;) {
        const auto run = Glance(journals[i]);
        KeptRun& shown = kept[i];
        shown.journal = journals[i];
        shown.folder = run.value().root;
        shown.sequence = static_cast<long long>(JournalSequence(journals[i]));
        shown.state = StateOf(journals[i], run);
        shown.written = JournalWrittenAt(journals[i]);
        // A damaged journal on the folder stops FindLastRun too.
        if (!run.value().root.empty() && (!run.ok() || !PassedOver(run.value())) &&
            judged.insert(run.value().root).second) {
            shown.undoable = run.ok() && !run.value().undone && run.value().closed &&
                             run.value().planned && !run.value().chain.empty();
        }
    }
    return kept;
}

int ForgetCutOffRuns(const std::string& journal_folder, const std::string& absolute, bool dry_run) {
    int forgotten = 0;
    for (const auto& path : ListJournals(journal_folder)) {
        const auto run = ReadRun(path);
        if (run.value().root != absolute || run.value().Ended() || JournalInUse(path)) {
            continue;
        }
        ++forgotten;
        if (!dry_run) {
            (void)Retire(path);
        }
    }
    return forgotten;
}

bool ForgetCutOffRun(const std::string& journal_path) {
    return !Glance(journal_path).value().Ended() && !JournalInUse(journal_path) &&
           Retire(journal_path);
}

}  // namespace karuneo::journal
