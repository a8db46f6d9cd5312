#include "app/cli/cli.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "app/cli/journal_commands.h"
#include "app/cli/platform_help.h"
#include "engine/display_text.h"
#include "engine/dry_run/dry_run_file_system.h"
#include "engine/entry_path.h"
#include "engine/extract/extract_run.h"
#include "engine/journal/journal_file.h"
#include "engine/journal/journaled_walk.h"
#include "engine/result_sink.h"
#include "engine/unnest.h"
#include "results/rules/escaped_text.h"
#include "results/rules/reason_text.h"
#include "results/rules/status_text.h"

namespace karuneo::cli {
namespace {

constexpr std::string_view kUsageHead =
    "Usage: karuneo-cli [-n | --dry-run] [--] FOLDER...\n"
    "       karuneo-cli [-n | --dry-run] (-x | --extract) [--name-encoding ENCODING]\n"
    "                   [--] PATH...\n"
    "       karuneo-cli [-n | --dry-run] --undo [--] FOLDER...\n"
    "       karuneo-cli [-n | --dry-run] --recover\n"
    "       karuneo-cli --history\n"
    "       karuneo-cli [-n | --dry-run] --forget [--] FOLDER...\n"
    "       karuneo-cli --help | --version\n"
    "Flattens each FOLDER that holds nothing but a chain of single subfolders:\n"
    "the contents of the deepest folder move up into FOLDER, and the emptied\n"
    "chain is removed. Prints one line per folder: name<TAB>status, where\n"
    "status is 完了, 完了<フォルダは空>, 未処理 or エラー. Control characters in a\n"
    "name are shown escaped (\\n, \\t, \\x1b, \\u202e), a backslash as \\\\; names\n"
    "on disk stay as they are. Why a folder gave エラー or 未処理, or kept a chain\n"
    "folder, goes to standard error, one line per such folder:\n"
    "karuneo-cli: NAME: reason. Every run keeps a journal in the user's state\n"
    "folder, so that it can be undone, or finished when it was cut off.\n"
    "Exit status: 0 when no folder failed, 1 when one did or the report could\n"
    "not be written (no folder is processed after that), 2 for a usage error,\n";

// After kStopHelp, which each system words in its own terms.
constexpr std::string_view kUsageOptions =
    "\n"
    "  -n, --dry-run  change nothing: print the lines and exit status that a real\n"
    "                 run would give now, and on standard error each change it\n"
    "                 would make, one per line. A dry run cannot know what another\n"
    "                 program changes in the folders before the real run, nor a\n"
    "                 failure that the disk itself gives only when a change is made.\n"
    "  -x, --extract  also extract each PATH that is an archive (by its name: .zip,\n"
    "                 .7z, .tar, .tar.gz, .tgz, .tar.xz, .tar.bz2, .tar.zst, .rar,\n"
    "                 .iso, .cpio...) into a new folder beside it, named after it\n"
    "                 without those extensions (\"foo (2)\" when \"foo\" is taken),\n"
    "                 and un-nest that folder; __MACOSX, .DS_Store, Thumbs.db and\n"
    "                 desktop.ini beside a single folder at the archive's top stay,\n"
    "                 and do not keep that folder from being un-nested. The archive\n"
    "                 is only read. An archive with an entry that would lead outside\n"
    "                 the new folder (\"..\", an absolute name, a link pointing out),\n"
    "                 a device file, an encrypted entry, two entries of one name, or\n"
    "                 one that expands beyond the free space, 256 GiB or a thousand\n"
    "                 times its size is refused: エラー, and nothing is left behind.\n"
    "                 Modes keep their permission bits only, within the umask.\n"
    "                 Folders among the PATHs are un-nested as without -x; other\n"
    "                 files give 未処理.\n"
    "  --name-encoding ENCODING\n"
    "                 read the names an archive does not mark as UTF-8 in\n"
    "                 ENCODING (an iconv name); by default they are taken as UTF-8\n"
    "                 when they are, else as CP932.\n"
    "  --undo         undo the last run on each FOLDER: changes nothing unless\n"
    "                 every entry can go back exactly where it was. A FOLDER that\n"
    "                 --extract made is removed, only when every entry in it is as\n"
    "                 the extraction left it (identity, size, time) and none was\n"
    "                 added; else the first one that changed is named. An archive\n"
    "                 given as FOLDER has its newest extraction undone so.\n"
    "  --recover      finish every run that was cut off (a crash, a kill, a power\n"
    "                 cut), or an undo that was, judging every entry by where it\n"
    "                 is now; a journal that cannot be read is kept and named.\n"
    "                 An extraction cut off part-way is removed, with its\n"
    "                 temporary folder; one cut off once whole is given its name.\n"
    "  --history      list the runs kept in the journal, oldest first:\n"
    "                 NUMBER<TAB>STATE<TAB>TIME<TAB>FOLDER, STATE being finished,\n"
    "                 cut off, undone, undo, forgotten, damaged or running, TIME\n"
    "                 when the journal was last written (local time); then the\n"
    "                 extractions, numbered apart, named by their archive, STATE\n"
    "                 being extracted, extraction cut off, extraction undone,\n"
    "                 extraction refused, extracting or damaged.\n"
    "  --forget       retire the cut-off runs on each FOLDER (one whose folder is\n"
    "                 gone, say) without looking at the folder.\n"
    "  --             what follows is a FOLDER, even when it starts with -.\n"
    "  -h, --help     print this and exit.\n"
    "  --version      print the version and exit.\n";

std::string Usage() {
    return std::string(kUsageHead).append(kStopHelp).append(kUsageOptions);
}

std::string ShownName(std::string_view name) {
    return EscapeControls(ToDisplayText(name));
}

// A script must hear of every folder that changed: once a row cannot be
// written, the sink says so and the caller processes no further folder.
// Reasons go to standard error, so that the lines a script reads stay as
// they were.
class LineSink final : public ResultSink {
  public:
    LineSink(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    void AddResult(std::string_view name, RowStatus status) override {
        if (lost_) {
            return;
        }
        out_ << EscapeControls(ToDisplayText(name)) << '\t' << StatusText(status) << '\n'
             << std::flush;
        lost_ = !out_;
        any_error_ = any_error_ || status == RowStatus::kError;
    }

    void AddResultWithReason(std::string_view name, RowStatus status,
                             const RowReason& reason) override {
        AddResult(name, status);
        // Names in the reason are escaped one by one, so that a separator
        // on Windows stays a single backslash.
        const std::string why = ReasonInEnglish(reason, name, &ShownName);
        if (!lost_ && !why.empty()) {
            err_ << "karuneo-cli: " << ShownName(name) << ": " << why << '\n' << std::flush;
        }
    }

    bool any_error() const { return any_error_; }
    bool lost() const { return lost_; }

  private:
    std::ostream& out_;
    std::ostream& err_;
    bool any_error_ = false;
    bool lost_ = false;
};

struct Parsed {
    std::vector<std::string> folders;
    bool help = false;
    bool version = false;
    bool dry_run = false;
    bool undo = false;
    bool recover = false;
    bool history = false;
    bool forget = false;
    bool extract = false;
    std::string name_encoding;
    bool encoding_missing = false;
    std::string bad_option;
};

Parsed Parse(std::span<const std::string> args) {
    Parsed parsed;
    bool options_done = false;
    for (std::size_t at = 0; at < args.size(); ++at) {
        const std::string& arg = args[at];
        if (!options_done && IsSystemHelpSwitch(arg)) {
            parsed.help = true;
        } else if (options_done || arg.size() < 2 || arg[0] != '-') {
            parsed.folders.push_back(arg);
        } else if (arg == "--") {
            options_done = true;
        } else if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--version") {
            parsed.version = true;
        } else if (arg == "--dry-run" || arg == "-n") {
            parsed.dry_run = true;
        } else if (arg == "--undo") {
            parsed.undo = true;
        } else if (arg == "--recover") {
            parsed.recover = true;
        } else if (arg == "--history") {
            parsed.history = true;
        } else if (arg == "--forget") {
            parsed.forget = true;
        } else if (arg == "--extract" || arg == "-x") {
            parsed.extract = true;
        } else if (arg == "--name-encoding") {
            parsed.encoding_missing = at + 1 == args.size() || args[at + 1].empty();
            if (!parsed.encoding_missing) {
                parsed.name_encoding = args[++at];
            }
        } else if (parsed.bad_option.empty()) {
            parsed.bad_option = arg;
        }
    }
    return parsed;
}

int Stopped(std::size_t not_started, int status, std::ostream& err) {
    err << "karuneo-cli: stopped";
    if (not_started > 0) {
        err << "; " << not_started << (not_started == 1 ? " folder was" : " folders were")
            << " not started";
    }
    err << '\n' << std::flush;
    return status;
}

// How the folders are processed, in order: journaled in a real run, straight
// through the preview layer in a dry run. Gives how many were started: none
// after a stop, nor once the report cannot be written.
using FoldersRun =
    std::function<std::size_t(const std::vector<std::string>& folders, LineSink& lines)>;

int UnnestAll(const std::vector<std::string>& folders, const FoldersRun& run, std::ostream& out,
              std::ostream& err, Interruption& stop) {
    LineSink lines(out, err);
    const std::size_t started = run(folders, lines);
    if (lines.lost() && started > 0) {
        err << "karuneo-cli: cannot write the report; stopped after "
            << EscapeControls(ToDisplayText(folders[started - 1])) << '\n';
        return kExitSomeFailed;
    }
    if (stop.StopRequested()) {
        return Stopped(folders.size() - started, stop.ExitStatus(), err);
    }
    return lines.any_error() ? kExitSomeFailed : kExitOk;
}

// --undo and --recover: their rows are lines like any other, and a stop
// ends them between two entries as it ends a run.
int RunJournalCommand(const Parsed& parsed, FileSystem& fs, std::ostream& out, std::ostream& err,
                      Interruption& stop) {
    LineSink sink(out, err);
    std::optional<dry_run::DryRunFileSystem> preview;
    if (parsed.dry_run) {
        preview.emplace(fs, err);
    }
    FileSystem& layer = preview ? static_cast<FileSystem&>(*preview) : fs;
    const JournalCommand command{journal::DefaultJournalFolder(), layer, sink, stop,
                                 parsed.dry_run};
    std::size_t not_started = 0;
    if (parsed.recover) {
        RecoverCutOffRuns(command);
    } else {
        not_started = UndoLastRuns(command, parsed.folders, [&sink] { return sink.lost(); });
    }
    if (sink.lost()) {
        err << "karuneo-cli: cannot write the report; stopped\n";
        return kExitSomeFailed;
    }
    if (stop.StopRequested()) {
        return Stopped(not_started, stop.ExitStatus(), err);
    }
    return sink.any_error() ? kExitSomeFailed : kExitOk;
}

// --history and --forget read and mark the journal only.
int RunHistoryCommand(const Parsed& parsed, std::ostream& out, std::ostream& err) {
    const std::string journal_folder = journal::DefaultJournalFolder();
    if (parsed.history) {
        PrintHistory(journal_folder, out);
        return out ? kExitOk : kExitSomeFailed;
    }
    return ForgetRuns(journal_folder, parsed.folders, parsed.dry_run, err) ? kExitOk
                                                                           : kExitSomeFailed;
}

bool IsFolder(FileSystem& fs, const std::string& path) {
    return fs.FolderName(EntryPath(path)).error() != kPathNotFound;
}

// --extract: each archive gets its row; each folder is un-nested as it would
// be without the switch, journaled in a real run.
int ExtractAll(const Parsed& parsed, FileSystem& fs, std::ostream& out, std::ostream& err,
               Interruption& stop) {
    std::optional<dry_run::DryRunFileSystem> preview;
    if (parsed.dry_run) {
        preview.emplace(fs, err);
    }
    const std::string journal_folder = journal::DefaultJournalFolder();
    if (!parsed.dry_run) {
        WarnOfCutOffRuns(journal_folder, err);
    }
    extract::ExtractOptions options;
    options.dry_run = parsed.dry_run;
    options.changes = &err;
    options.name_encoding = parsed.name_encoding;
    options.journal_folder = journal_folder;
    return UnnestAll(
        parsed.folders,
        [&](const std::vector<std::string>& paths, LineSink& lines) {
            std::size_t started = 0;
            for (; started < paths.size() && !stop.StopRequested() && !lines.lost(); ++started) {
                const std::string& path = paths[started];
                if (!IsFolder(fs, path)) {
                    extract::ExtractArchive(path, fs, lines, options, stop);
                } else if (preview) {
                    ProcessDroppedPath(path, *preview, lines, stop);
                } else {
                    journal::ProcessJournaledFolders(std::span(&path, 1), fs, lines, stop,
                                                     journal_folder,
                                                     [&lines] { return lines.lost(); });
                }
            }
            return started;
        },
        out, err, stop);
}

}  // namespace

int RunCli(std::span<const std::string> args, FileSystem& fs, std::ostream& out, std::ostream& err,
           Interruption& stop) {
    const Parsed parsed = Parse(args);
    if (parsed.help) {
        out << Usage();
        return kExitOk;
    }
    if (parsed.version) {
        out << "karuneo-cli " KARUNEO_VERSION "\n";
        return kExitOk;
    }
    const int commands = parsed.recover + parsed.undo + parsed.history + parsed.forget;
    const bool extracting_alone = commands == 0 || !parsed.extract;
    const bool bare = parsed.bad_option.empty() && commands <= 1 && extracting_alone &&
                      !parsed.encoding_missing && (parsed.extract || parsed.name_encoding.empty());
    if (bare && parsed.recover && parsed.folders.empty()) {
        return RunJournalCommand(parsed, fs, out, err, stop);
    }
    if (bare && parsed.history && parsed.folders.empty()) {
        return RunHistoryCommand(parsed, out, err);
    }
    if (!bare || parsed.folders.empty() || parsed.recover || parsed.history) {
        if (!parsed.bad_option.empty()) {
            err << "karuneo-cli: unknown option "
                << EscapeControls(ToDisplayText(parsed.bad_option)) << '\n';
        }
        err << Usage();
        return kExitUsage;
    }
    if (parsed.undo) {
        return RunJournalCommand(parsed, fs, out, err, stop);
    }
    if (parsed.forget) {
        return RunHistoryCommand(parsed, out, err);
    }
    if (parsed.extract) {
        return ExtractAll(parsed, fs, out, err, stop);
    }
    if (parsed.dry_run) {
        dry_run::DryRunFileSystem preview(fs, err);
        return UnnestAll(
            parsed.folders,
            [&](const std::vector<std::string>& folders, LineSink& lines) {
                std::size_t started = 0;
                for (; started < folders.size() && !stop.StopRequested() && !lines.lost();
                     ++started) {
                    ProcessDroppedPath(folders[started], preview, lines, stop);
                }
                return started;
            },
            out, err, stop);
    }
    const std::string journal_folder = journal::DefaultJournalFolder();
    WarnOfCutOffRuns(journal_folder, err);
    return UnnestAll(
        parsed.folders,
        [&](const std::vector<std::string>& folders, LineSink& lines) {
            return journal::ProcessJournaledFolders(folders, fs, lines, stop, journal_folder,
                                                    [&lines] { return lines.lost(); });
        },
        out, err, stop);
}

}  // namespace karuneo::cli
