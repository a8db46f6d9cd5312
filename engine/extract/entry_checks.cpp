#include "engine/extract/entry_checks.h"

#include <cstddef>
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
    if (entry.type == EntryType::kHardLink) {
        if (auto refused = CheckHardLink(entry, table)) {
            return refused;
        }
    }
    if (!table.Add(split.parts, KindOf(entry.type), entry.link)) {
        return {ExtractProblem::kDuplicate, entry.name};
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
