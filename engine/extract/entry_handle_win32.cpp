#include "engine/extract/entry_handle_win32.h"

#include <algorithm>
#include <cstddef>

namespace karuneo::extract::entries {

OpenEntry OpenNoFollow(const std::wstring& path, bool for_delete) {
    OpenEntry entry;
    const DWORD access = FILE_READ_ATTRIBUTES | (for_delete ? DELETE : 0);
    HANDLE handle = ::CreateFileW(
        path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        entry.error = ::GetLastError();
        return entry;
    }
    entry.handle.reset(handle);
    if (!::GetFileInformationByHandle(handle, &entry.info)) {
        entry.error = ::GetLastError();
        entry.handle.reset();
    }
    return entry;
}

bool RemoveHeld(OpenEntry& entry) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    const bool marked = ::SetFileInformationByHandle(entry.handle.get(), FileDispositionInfo,
                                                     &disposition, sizeof disposition) != 0;
    entry.handle.reset();
    return marked;
}

std::wstring Joined(const std::wstring& folder, const std::wstring& name) {
    return folder + (folder.ends_with(L'\\') ? L"" : L"\\") + name;
}

// Through a handle of its own that shares delete access: the folder may be
// held already by one that asks for it, which FindFirstFileW's would not
// share.
std::vector<std::wstring> NamesIn(const std::wstring& path) {
    std::vector<std::wstring> names;
    HANDLE handle = ::CreateFileW(
        path.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return names;
    }
    const UniqueHandle folder(handle);
    // DWORD-aligned, as the records in it are.
    std::vector<DWORD> buffer(16 * 1024);
    const auto bytes = static_cast<DWORD>(buffer.size() * sizeof(DWORD));
    for (FILE_INFO_BY_HANDLE_CLASS which = FileIdBothDirectoryRestartInfo;
         ::GetFileInformationByHandleEx(handle, which, buffer.data(), bytes);
         which = FileIdBothDirectoryInfo) {
        const auto* at = reinterpret_cast<const std::byte*>(buffer.data());
        for (;;) {
            const auto* record = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
            const std::wstring name(record->FileName, record->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                names.push_back(name);
            }
            if (record->NextEntryOffset == 0) {
                break;
            }
            at += record->NextEntryOffset;
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool RemoveInside(const std::wstring& folder, const Ours& ours) {
    bool all_gone = true;
    for (const auto& name : NamesIn(folder)) {
        const std::wstring path = Joined(folder, name);
        OpenEntry entry = OpenNoFollow(path, true);
        if (!entry.handle || !ours(entry)) {
            all_gone = false;
            continue;
        }
        // Held meanwhile, so the folder emptied is the one removed.
        const bool emptied = !entry.IsFolder() || entry.IsLink() || RemoveInside(path, ours);
        all_gone = emptied && RemoveHeld(entry) && all_gone;
    }
    return all_gone;
}

}  // namespace karuneo::extract::entries
