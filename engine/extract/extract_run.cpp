#include "engine/extract/extract_run.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <unordered_set>
#include <utility>
#include <variant>
#include <vector>

#include "engine/dry_run/terminal_token.h"
#include "engine/entry_path.h"
#include "engine/error_number.h"
#include "engine/extract/archive_name.h"
#include "engine/extract/archive_reader.h"
#include "engine/extract/captured_row.h"
#include "engine/extract/entry_name.h"
#include "engine/extract/extract_target.h"
#include "engine/extract/extraction_record.h"
#include "engine/extract/junk_hidden.h"
#include "engine/extract/refusal.h"
#include "engine/extract/table_file_system.h"
#include "engine/file_system.h"
#include "engine/path_separator.h"
#include "engine/reason/row_reason.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"
#include "engine/temp_name.h"
#include "engine/unnest.h"

namespace karuneo::extract {
namespace {

// A folder beside the archive with a free name is found long before this.
constexpr int kMostNumbers = 10000;

struct ArchivePlace {
    std::string parent;
    std::string file_name;
};

ArchivePlace PlaceOf(const std::string& path) {
    const auto cut = path.find_last_of(kPathSeparators);
    if (cut == std::string::npos) {
        return {".", path};
    }
    return {cut == 0 ? path.substr(0, 1) : path.substr(0, cut), path.substr(cut + 1)};
}

std::shared_ptr<const RowReasonBox> Boxed(const RowReason& reason) {
    if (std::holds_alternative<std::monostate>(reason)) {
        return nullptr;
    }
    return std::make_shared<const RowReasonBox>(RowReasonBox{reason});
}

void GiveRefusal(ResultSink& sink, const std::string& name, const Refusal& refused,
                 bool left_behind = false) {
    ExtractReason reason;
    reason.problem = left_behind ? ExtractProblem::kLeftBehind : refused.problem;
    reason.entry = refused.entry;
    reason.detail = refused.detail;
    reason.system_code = refused.system_code;
    if (left_behind) {
        reason.walk = Boxed(ExtractReason{
            refused.problem, {}, refused.entry, refused.detail, refused.system_code, nullptr});
    }
    sink.AddResultOfKind(name, RowStatus::kError, reason, RowKind::kArchive);
}

// Reads every entry, checks it and, given a target, writes it there.
class Extraction {
  public:
    Extraction(ArchiveReader& reader, TableFileSystem& table, ExpansionCount& count,
               ExtractTarget* target, WalkControl& control)
        : reader_(reader), table_(table), count_(count), target_(target), control_(control) {}

    Refusal Run() {
        for (;;) {
            if (control_.StopRequested()) {
                return {ExtractProblem::kWorkStopped, {}};
            }
            ArchiveEntry entry;
            bool at_end = false;
            if (auto refused = reader_.Next(entry, at_end)) {
                return refused;
            }
            if (at_end) {
                return {};
            }
            const SplitName split = SplitEntryName(entry.name);
            if (auto refused = CheckEntry(entry, split, table_)) {
                return refused;
            }
            if (auto refused = Take(entry, split.parts)) {
                return refused;
            }
            control_.ExtractProgress(++entries_, count_.total());
        }
    }

  private:
    Refusal Take(const ArchiveEntry& entry, const Parts& parts) {
        if (entry.type == EntryType::kFile) {
            return ReadFile(entry, parts);
        }
        if (target_ == nullptr || parts.empty()) {
            return {};
        }
        switch (entry.type) {
            case EntryType::kFolder:
                return target_->MakeFolder(parts, entry.mode);
            case EntryType::kSymlink:
                return target_->MakeSymlink(parts, entry.link);
            default:
                return target_->MakeHardLink(parts, SplitEntryName(entry.link).parts);
        }
    }

    // Read whole in a dry run too, written only in a real one: the data may
    // be damaged or larger than its header says, and both runs must find it
    // at the same place. The bytes counted are those the file comes to hold,
    // holes included.
    Refusal ReadFile(const ArchiveEntry& entry, const Parts& parts) {
        if (target_ != nullptr) {
            if (auto refused = target_->OpenFile(parts, entry.mode)) {
                return refused;
            }
        }
        std::uint64_t end = 0;
        for (;;) {
            std::string_view block;
            std::int64_t offset = 0;
            bool done = false;
            if (auto refused = reader_.ReadBlock(block, offset, done)) {
                refused.entry = entry.name;
                return refused;
            }
            const std::uint64_t reached =
                done ? static_cast<std::uint64_t>(std::max<std::int64_t>(entry.size, 0))
                     : static_cast<std::uint64_t>(offset) + block.size();
            if (reached > end) {
                if (auto refused = count_.Add(reached - end, entry.name)) {
                    return refused;
                }
                end = reached;
                control_.ExtractProgress(entries_, count_.total());
            }
            if (done) {
                break;
            }
            if (target_ != nullptr) {
                if (auto refused = target_->Write(block, offset)) {
                    return refused;
                }
            }
        }
        if (target_ == nullptr) {
            return {};
        }
        return target_->CloseFile(static_cast<std::int64_t>(end), entry.has_mtime, entry.mtime_s,
                                  entry.mtime_ns);
    }

    ArchiveReader& reader_;
    TableFileSystem& table_;
    ExpansionCount& count_;
    ExtractTarget* target_;
    WalkControl& control_;
    long long entries_ = 0;
};

CapturedRow Unnest(FileSystem& fs, const std::string& folder, WalkControl& control) {
    JunkHidden junk_hidden(fs, folder);
    CapturedRow row;
    ProcessDroppedPath(folder, junk_hidden, row, control);
    return row;
}

std::unordered_set<std::string> NamesIn(FileSystem& fs, const std::string& parent) {
    std::unordered_set<std::string> names;
    (void)fs.ListEntries(EntryPath(parent), [&names](const Entry& entry) {
        names.insert(entry.name);
        return true;
    });
    return names;
}

// The first of base, "base (2)"... that nothing beside the archive bears.
int FirstFreeNumber(const std::unordered_set<std::string>& taken, const std::string& base,
                    int from) {
    int number = from;
    while (number < kMostNumbers && taken.count(NumberedName(base, number)) > 0) {
        ++number;
    }
    return number;
}

// From UTF-8 on every system: a path made from a plain string is read in
// Windows' ANSI code page, which cannot spell most names.
std::filesystem::path NativePath(const std::string& utf8) {
    return {std::u8string(utf8.begin(), utf8.end())};
}

std::uint64_t FreeBytes(const std::string& parent) {
    std::error_code error;
    const auto space = std::filesystem::space(NativePath(parent), error);
    return error ? UINT64_MAX : space.available;  // the writes themselves will tell
}

std::uint64_t ArchiveBytes(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(NativePath(path), error);
    return error ? 0 : size;
}

// The row once the new folder stands under its own name.
void GiveDone(ResultSink& sink, const std::string& name, const std::string& folder,
              const CapturedRow& unnested, const TableFileSystem& table) {
    bool empty = true;
    table.Visit([&empty](const auto&, const auto&) { empty = false; });
    ExtractReason reason;
    reason.folder = folder;
    reason.walk = Boxed(unnested.reason);
    sink.AddResultOfKind(name, empty ? RowStatus::kDoneEmpty : RowStatus::kDone, reason,
                         RowKind::kArchive);
}

void TellChanges(std::ostream& changes, const std::string& parent, const std::string& folder,
                 const TableFileSystem& table) {
    using dry_run::TerminalToken;
    changes << "in " << TerminalToken(parent) << '\n' << "create " << TerminalToken(folder) << '\n';
    table.Visit([&changes, &folder](const std::vector<std::string>& parts, const auto&) {
        std::string path = folder;
        for (const auto& part : parts) {
            path.append(1, kPathSeparator).append(part);
        }
        changes << "create " << TerminalToken(path) << '\n';
    });
}

// The checks and the un-nesting of the table, which the disk will follow.
Refusal Planned(TableFileSystem& table, const std::string& temp_path, CapturedRow& unnested) {
    unnested = Unnest(table, temp_path, UninterruptedWalk());
    if (unnested.status == RowStatus::kError) {
        return {ExtractProblem::kUnnestFailed, {}};
    }
    return CheckLinksWhereTheyEnd(table);
}

void DryRun(const std::string& path, const ArchivePlace& place, const std::string& base,
            FileSystem& fs, ResultSink& sink, const ExtractOptions& options, WalkControl& control) {
    ArchiveReader reader;
    const std::string temp_path = PathIn(place.parent, NewTempName());
    TableFileSystem table(temp_path);
    ExpansionCount count(options.bounds, ArchiveBytes(path), FreeBytes(place.parent));
    CapturedRow unnested;
    Refusal refused = reader.Open(path, options.name_encoding);
    if (!refused) {
        refused = Extraction(reader, table, count, nullptr, control).Run();
    }
    if (!refused) {
        refused = Planned(table, temp_path, unnested);
    }
    if (refused) {
        GiveRefusal(sink, place.file_name, refused);
        return;
    }
    const std::string folder =
        NumberedName(base, FirstFreeNumber(NamesIn(fs, place.parent), base, 1));
    if (options.changes != nullptr) {
        TellChanges(*options.changes, place.parent, folder, table);
    }
    GiveDone(sink, place.file_name, folder, unnested, table);
}

// Renames the new folder to the first free name; another program may take
// a name meanwhile, which the rename, refusing to replace, finds out.
Result<std::string> GiveFinalName(FileSystem& fs, const ArchivePlace& place,
                                  const std::string& temp_name, const std::string& base) {
    const EntryPath parent(place.parent);
    const HeldRoot held(fs, parent);
    const auto taken = NamesIn(fs, place.parent);
    Failure failed(kFileAlreadyExists);
    for (int number = FirstFreeNumber(taken, base, 1);
         number < kMostNumbers && failed == kFileAlreadyExists;
         number = FirstFreeNumber(taken, base, number + 1)) {
        const std::string name = NumberedName(base, number);
        failed = fs.RenameFolder(parent.Child(temp_name), name);
        if (!failed) {
            return name;
        }
    }
    return failed;
}

// The new folder's own name, or why it could not be given.
Refusal NameFolder(FileSystem& fs, const ArchivePlace& place, const std::string& temp_name,
                   const std::string& base, std::string& final_name) {
    auto named = GiveFinalName(fs, place, temp_name, base);
    if (named.ok()) {
        final_name = std::move(named).value();
        return {};
    }
    const bool taken = named.error() == kFileAlreadyExists;
    return {taken ? ExtractProblem::kNoFreeName : ExtractProblem::kWrite,
            {},
            {},
            named.error().system_code};
}

void RealRun(const std::string& path, const ArchivePlace& place, const std::string& base,
             FileSystem& fs, ResultSink& sink, const ExtractOptions& options,
             WalkControl& control) {
    ArchiveReader reader;
    if (auto refused = reader.Open(path, options.name_encoding)) {
        GiveRefusal(sink, place.file_name, refused);
        return;
    }
    const auto target = MakeNativeExtractTarget();
    const std::string temp_name = NewTempName();
    const std::string temp_path = PathIn(place.parent, temp_name);
    TableFileSystem table(temp_path);
    CapturedRow unnested;
    ExtractionRecord record(options.journal_folder);
    record.Begin(path, place.parent, temp_name);
    Refusal refused = target->MakeTop(place.parent, temp_name);
    if (refused) {
        record.Closed();
        GiveRefusal(sink, place.file_name, refused);
        return;
    }
    record.Made(temp_path);
    // Asked of the new folder itself, which the target holds.
    ExpansionCount count(options.bounds, ArchiveBytes(path), target->FreeBytes());
    refused = Extraction(reader, table, count, target.get(), control).Run();
    target->LetGo();
    if (!refused) {
        refused = Planned(table, temp_path, unnested);
    }
    if (!refused) {
        unnested = Unnest(fs, temp_path, control);
        if (unnested.status == RowStatus::kError) {
            refused = {control.StopRequested() ? ExtractProblem::kWorkStopped
                                               : ExtractProblem::kUnnestFailed,
                       {}};
        }
    }
    std::string final_name;
    if (!refused) {
        record.Finished(temp_path);
        refused = NameFolder(fs, place, temp_name, base, final_name);
    }
    if (refused) {
        // Closed either way: what stays after a failed removal may hold
        // another program's files, which no recovery may take for its own.
        const bool removed = target->RemoveMade();
        record.Closed();
        if (removed && refused.problem == ExtractProblem::kUnnestFailed) {
            ExtractReason reason{refused.problem, {}, {}, {}, 0, Boxed(unnested.reason)};
            sink.AddResultOfKind(place.file_name, RowStatus::kError, reason, RowKind::kArchive);
            return;
        }
        GiveRefusal(sink, place.file_name, refused, !removed);
        return;
    }
    record.Named(final_name);
    GiveDone(sink, place.file_name, final_name, unnested, table);
}

}  // namespace

bool CanExtract() {
    return true;
}

void ExtractArchive(const std::string& path, FileSystem& fs, ResultSink& sink,
                    const ExtractOptions& options, WalkControl& control) {
    const ArchivePlace place = PlaceOf(path);
    const std::string base = FolderNameOfArchive(place.file_name);
    if (base.empty()) {
        // The row of what was given to extract, whatever its name.
        sink.AddResultOfKind(place.file_name, RowStatus::kUntouched,
                             ExtractReason{ExtractProblem::kNotAnArchive, {}, {}, {}, 0, {}},
                             RowKind::kArchive);
        return;
    }
    if (options.dry_run) {
        DryRun(path, place, base, fs, sink, options, control);
    } else {
        RealRun(path, place, base, fs, sink, options, control);
    }
}

}  // namespace karuneo::extract
