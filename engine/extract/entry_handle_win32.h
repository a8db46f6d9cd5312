#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace karuneo::extract::entries {

// Between 1601 and 1970, in the 100 ns ticks of a FILETIME.
inline constexpr std::int64_t kUnixEpochTicks = 116444736000000000;

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// An entry told apart from any other: volume serial number and file ID.
using FileKey = std::pair<std::uint64_t, std::uint64_t>;

struct OpenEntry {
    UniqueHandle handle;
    BY_HANDLE_FILE_INFORMATION info{};
    DWORD error = ERROR_SUCCESS;

    bool IsFolder() const { return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsLink() const { return (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
    FileKey Key() const {
        return {info.dwVolumeSerialNumber,
                (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    }
};

// Opens the entry itself, never what a reparse point leads to, and holds it
// without sharing delete access: nobody else can rename or remove it, or a
// folder above it, while it is open. With `for_delete`, it may be removed
// through the handle (RemoveHeld).
OpenEntry OpenNoFollow(const std::wstring& path, bool for_delete);

// Removes what the handle holds when it closes: by the handle, so never
// another entry that took its name meanwhile. A folder must be empty.
bool RemoveHeld(OpenEntry& entry);

// The names in the folder at `path`, without "." and "..", sorted.
std::vector<std::wstring> NamesIn(const std::wstring& path);

std::wstring Joined(const std::wstring& folder, const std::wstring& name);

// Depth first, each entry removed by its handle once `ours` says so; a
// reparse point is removed as itself, never entered. A folder that keeps
// something not ours stays, with everything above it. True when all went.
using Ours = std::function<bool(const OpenEntry&)>;
bool RemoveInside(const std::wstring& folder, const Ours& ours);

}  // namespace karuneo::extract::entries
