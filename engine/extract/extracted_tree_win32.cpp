// Every entry is opened as itself, never through a reparse point, and a
// removal goes through the handle of the entry whose identity was checked:
// another entry that takes its name meanwhile is never the one removed.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/error_number.h"
#include "engine/extract/entry_handle_win32.h"
#include "engine/extract/extract_journal.h"
#include "engine/extract/extracted_tree.h"
#include "engine/file_system.h"
#include "engine/system_code.h"
#include "engine/utf16_win32.h"
#include "engine/wide_path_win32.h"

namespace karuneo::extract {
namespace {

using entries::FileKey;
using entries::kUnixEpochTicks;
using entries::OpenEntry;
using entries::OpenNoFollow;

EntryKind KindOf(const OpenEntry& entry) {
    if (entry.IsLink()) {
        return EntryKind::kLink;
    }
    return entry.IsFolder() ? EntryKind::kFolder : EntryKind::kFile;
}

RecordedEntry Recorded(std::string path, const OpenEntry& entry) {
    RecordedEntry recorded{std::move(path), KindOf(entry), entry.Key().second, 0, 0};
    if (recorded.kind != EntryKind::kFolder) {
        const auto& info = entry.info;
        recorded.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
        const auto ticks =
            static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                      info.ftLastWriteTime.dwLowDateTime);
        recorded.mtime_ns = (ticks - kUnixEpochTicks) * 100;
    }
    return recorded;
}

std::optional<std::wstring> LongPath(const std::string& path) {
    auto wide = win32::LongRootPath(path);
    if (!wide.ok()) {
        return std::nullopt;
    }
    return std::move(wide).value();
}

Failure ListBelow(const std::wstring& folder, const std::string& path,
                  std::vector<RecordedEntry>& entries) {
    for (const auto& name : entries::NamesIn(folder)) {
        const std::string utf8_name = win32::Utf8FromUtf16(name);
        const std::wstring inner = entries::Joined(folder, name);
        const OpenEntry entry = OpenNoFollow(inner, false);
        if (!entry.handle) {
            return SystemFailure(static_cast<int>(entry.error), path + utf8_name);
        }
        entries.push_back(Recorded(path + utf8_name, entry));
        // Held while listed, so what is listed is what was opened.
        if (entry.IsFolder() && !entry.IsLink()) {
            if (auto failed = ListBelow(inner, path + utf8_name + "/", entries)) {
                return failed;
            }
        }
    }
    return {};
}

bool IsFolderOf(const OpenEntry& entry, const Identity& identity) {
    return entry.handle && entry.IsFolder() && !entry.IsLink() &&
           entry.Key() == FileKey{identity.device, identity.id};
}

bool RemoveFolder(const std::wstring& path, const Identity& identity, const entries::Ours& ours) {
    OpenEntry folder = OpenNoFollow(path, true);
    return IsFolderOf(folder, identity) && entries::RemoveInside(path, ours) &&
           entries::RemoveHeld(folder);
}

}  // namespace

Result<Identity> IdentityOfPath(const std::string& path) {
    const auto wide = LongPath(path);
    if (!wide) {
        return Failure(kPathNotFound);
    }
    const OpenEntry entry = OpenNoFollow(*wide, false);
    if (!entry.handle) {
        return SystemFailure(static_cast<int>(entry.error), {});
    }
    return Identity{entry.Key().first, entry.Key().second, KindOf(entry)};
}

Result<std::vector<RecordedEntry>> ListTree(const std::string& folder) {
    const auto wide = LongPath(folder);
    if (!wide) {
        return Failure(kPathNotFound);
    }
    const OpenEntry top = OpenNoFollow(*wide, false);
    if (!top.handle) {
        return SystemFailure(static_cast<int>(top.error), {});
    }
    if (!top.IsFolder() || top.IsLink()) {
        return SystemFailure(ERROR_DIRECTORY, {});
    }
    std::vector<RecordedEntry> listed;
    if (auto failed = ListBelow(*wide, {}, listed)) {
        return failed;
    }
    return listed;
}

std::string NameWithIdentity(const std::string& parent, const Identity& identity) {
    const auto wide = LongPath(parent);
    if (!wide) {
        return {};
    }
    for (const auto& name : entries::NamesIn(*wide)) {
        if (IsFolderOf(OpenNoFollow(entries::Joined(*wide, name), false), identity)) {
            return win32::Utf8FromUtf16(name);
        }
    }
    return {};
}

bool RemoveWholeTree(const std::string& parent, const std::string& name, const Identity& identity) {
    const auto wide = LongPath(parent);
    const auto wide_name = win32::Utf16FromUtf8(name);
    return wide && wide_name &&
           RemoveFolder(entries::Joined(*wide, *wide_name), identity,
                        [](const OpenEntry&) { return true; });
}

bool RemoveEmptyFolderAt(const std::string& path) {
    const auto wide = LongPath(path);
    if (!wide) {
        return false;
    }
    OpenEntry folder = OpenNoFollow(*wide, true);
    return folder.handle && folder.IsFolder() && !folder.IsLink() && entries::RemoveHeld(folder);
}

RecordedRemoval RemoveRecordedTree(const std::string& folder, const Identity& identity,
                                   const std::vector<RecordedEntry>& recorded, bool check_only) {
    RecordedRemoval removal = CheckRecordedTree(folder, identity, recorded);
    if (!removal.as_recorded || check_only) {
        return removal;
    }
    std::set<FileKey> ours;
    for (const auto& entry : recorded) {
        ours.emplace(identity.device, entry.id);
    }
    const auto wide = LongPath(folder);
    removal.removed = wide && RemoveFolder(*wide, identity, [&ours](const OpenEntry& entry) {
                          return ours.count(entry.Key()) > 0;
                      });
    return removal;
}

}  // namespace karuneo::extract
