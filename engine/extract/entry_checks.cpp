#include "engine/extract/entry_checks.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#endif

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/extract/archive_reader.h"
#include "engine/extract/entry_name.h"
#include "engine/extract/table_file_system.h"
#include "engine/file_system.h"
#include "engine/reason/row_reason.h"

namespace karuneo::extract {
namespace {

EntryKind KindOf(EntryType type) {
    switch (type) {
        case EntryType::kFolder:
            return EntryKind::kFolder;
        case EntryType::kSymlink:
            return EntryKind::kLink;
        default:
            return EntryKind::kFile;  // a hard link is one more name of a file
    }
}

#ifdef _WIN32
// A name Windows cannot hold is refused in the dry run as the writing would
// refuse it: a trailing dot or space would be dropped, giving the entry
// another name.
bool WindowsCannotHold(const std::string& part) {
    return part.find_first_of("<>:\"|?*") != std::string::npos || part.back() == '.' ||
           part.back() == ' ' || std::any_of(part.begin(), part.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20;
           });
}
#endif

Refusal CheckHardLink(const ArchiveEntry& entry, const TableFileSystem& table) {
    const SplitName existing = SplitEntryName(entry.link);
    if (existing.problem != ExtractProblem::kNone || existing.parts.empty() ||
        !table.HoldsFile(existing.parts)) {
        return {ExtractProblem::kHardLink, entry.name, entry.link};
    }
    return {};
}

}  // namespace

Refusal CheckEntry(const ArchiveEntry& entry, const SplitName& split, TableFileSystem& table) {
    if (split.problem != ExtractProblem::kNone) {
        return {split.problem, entry.name};
    }
    if (entry.encrypted) {
        return {ExtractProblem::kEncrypted, entry.name};
    }
    if (entry.type == EntryType::kSpecial) {
        return {ExtractProblem::kSpecialFile, entry.name};
    }
#ifdef _WIN32
    for (const auto& part : split.parts) {
        if (WindowsCannotHold(part)) {
            return {ExtractProblem::kWrite, entry.name, {}, ERROR_INVALID_NAME};
        }
    }
#endif
    if (split.parts.empty()) {
        // "./" stands for the new folder itself; anything else of that name
        // has no place to go.
        return entry.type == EntryType::kFolder ? Refusal{}
                                                : Refusal{ExtractProblem::kEmptyPart, entry.name};
    }
    // No system makes a link whose target is longer.
    constexpr std::size_t kLongestTarget = 4095;
    if (entry.type == EntryType::kSymlink && entry.link.size() > kLongestTarget) {
        return {ExtractProblem::kLongName, entry.name};
    }
    if (entry.type == EntryType::kSymlink && !LinkStaysInside(entry.link, split.parts.size() - 1)) {
        return {ExtractProblem::kLinkOutside, entry.name, entry.link};
    }
#ifdef _WIN32
    // Making one needs a privilege most users lack, and Windows follows one
    // to another volume or a share as readily as to a file beside it. The
    // archive is refused, in the dry run alike, rather than extracted
    // without it.
    if (entry.type == EntryType::kSymlink) {
        return {ExtractProblem::kLinkNotMade, entry.name};
    }
#endif
    if (entry.type == EntryType::kHardLink) {
        if (auto refused = CheckHardLink(entry, table)) {
            return refused;
        }
    }
    if (const auto taken = table.Add(split.parts, KindOf(entry.type), entry.link)) {
        if (*taken == split.parts.size()) {
            return {ExtractProblem::kDuplicate, entry.name};
        }
        std::string part;
        for (std::size_t i = 0; i < *taken; ++i) {
            part += (i > 0 ? "/" : "") + split.parts[i];
        }
        return {ExtractProblem::kDuplicate, part};
    }
    return {};
}

Refusal CheckLinksWhereTheyEnd(const TableFileSystem& table) {
    Refusal refused;
    table.Visit(
        [&refused](const std::vector<std::string>& parts, const TableFileSystem::Node& node) {
            if (!refused && node.kind == EntryKind::kLink &&
                !LinkStaysInside(node.link, parts.size() - 1)) {
                std::string path;
                for (const auto& part : parts) {
                    path += (path.empty() ? "" : "/") + part;
                }
                refused = Refusal{ExtractProblem::kLinkOutside, path, node.link};
            }
        });
    return refused;
}

Refusal ExpansionCount::Add(std::uint64_t bytes, const std::string& entry) {
    total_ += bytes;
    if (total_ > bounds_.max_total) {
        return {ExtractProblem::kTooBig, entry, std::to_string(bounds_.max_total)};
    }
    if (total_ > bounds_.ratio_from && total_ / bounds_.max_ratio > archive_bytes_) {
        return {ExtractProblem::kRatio, entry, std::to_string(bounds_.max_ratio)};
    }
    if (total_ > free_bytes_) {
        return {ExtractProblem::kNoSpace, entry, std::to_string(free_bytes_)};
    }
    return {};
}

}  // namespace karuneo::extract
