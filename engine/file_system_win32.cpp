// Every path below a dropped folder is opened component by component: none
// may be a reparse point, and each stays open, without sharing delete access,
// until the call is done, so no folder on the way can be renamed or swapped
// for a junction meanwhile: a listing, a move or a removal cannot be led out
// of the dropped folder. Moves use MoveFileExW without flags: it neither
// replaces an existing entry (in any letter case) nor falls back to copying
// across volumes.
#include "engine/file_system_win32.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "engine/error_codes_win32.h"
#include "engine/native_file_system.h"
#include "engine/system_code.h"
#include "engine/utf16_win32.h"
#include "engine/wide_path_win32.h"

namespace karuneo {
namespace {

using win32::Utf16FromUtf8;
using win32::Utf8FromUtf16;

constexpr DWORD kInvalidAttributes = INVALID_FILE_ATTRIBUTES;
struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct Resolved {
    std::wstring path;
    Failure error;
    std::vector<UniqueHandle> held;  // the folders on the way, pinned in place
};

bool IsReparsePoint(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}
bool IsDirectory(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring Join(const std::wstring& folder, std::wstring_view name) {
    std::wstring joined = folder;
    if (joined.empty() || joined.back() != L'\\') {
        joined += L'\\';
    }
    joined += name;
    return joined;
}

Resolved JoinName(const std::wstring& folder, const std::string& utf8_name) {
    const auto name = IsPlainName(utf8_name) ? Utf16FromUtf8(utf8_name) : std::nullopt;
    if (!name) {
        return {{}, Failure(kBadFileName), {}};
    }
    return {Join(folder, *name), {}, {}};
}

Failure CheckAttributes(DWORD attributes) {
    if (IsReparsePoint(attributes)) {
        return SystemFailure(static_cast<int>(win32::kStoppedOnLink));
    }
    return IsDirectory(attributes) ? Failure() : Failure(kPathNotFound);
}

// Sharing binds only handles with data access, hence FILE_LIST_DIRECTORY;
// leaving out FILE_SHARE_DELETE then keeps others from renaming or removing
// the folder while it is held, and costs our own calls nothing.
// A failure names no entry: the caller knows which one it was.
Failure HoldFolder(const std::wstring& path, std::vector<UniqueHandle>& held) {
    HANDLE handle =
        ::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return SystemFailure(::GetLastError(), {});
    }
    UniqueHandle owned(handle);
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info)) {
        return SystemFailure(::GetLastError(), {});
    }
    if (auto error = CheckAttributes(info.dwFileAttributes)) {
        return error;
    }
    held.push_back(std::move(owned));
    return {};
}

// The folder itself is held too unless the caller is about to remove it.
Resolved ResolveFolder(const EntryPath& folder, bool hold_last = true) {
    const auto root = win32::LongRootPath(folder.Root());
    if (!root.ok()) {
        return {root.value, root.error, {}};
    }
    Resolved resolved{root.value, {}, {}};
    const auto& names = folder.Names();
    for (std::size_t i = 0; i <= names.size() && !resolved.error; ++i) {
        if (i > 0) {
            Resolved child = JoinName(resolved.path, names[i - 1]);
            resolved.path = std::move(child.path);
            resolved.error = child.error;
        }
        if (!resolved.error) {
            resolved.error = HoldFolder(resolved.path, resolved.held);
        }
        if (resolved.error) {
            resolved.error.entry = folder.Below(i);
        }
    }
    if (!hold_last && !resolved.held.empty()) {
        resolved.held.pop_back();
    }
    return resolved;
}

// A dropped reparse point to a folder is refused with an error row; one to
// a file (or a plain file) is ignored like a dropped file.
Failure RootLookupError(const std::wstring& root) {
    const DWORD attributes = ::GetFileAttributesW(root.c_str());
    if (attributes == kInvalidAttributes) {
        return SystemFailure(::GetLastError(), {});
    }
    if (!IsDirectory(attributes)) {
        return Failure(kPathNotFound);
    }
    return IsReparsePoint(attributes) ? CheckAttributes(attributes) : Failure();
}

struct FindCloser {
    void operator()(HANDLE handle) const { ::FindClose(handle); }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

UniqueFind FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& data) {
    HANDLE handle = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    return UniqueFind(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// The name in the letter case it is stored in; the path as given otherwise
// (a drive root has no name of its own).
std::string StoredName(const std::wstring& path, const EntryPath& folder) {
    WIN32_FIND_DATAW data;
    const UniqueFind found = FindFirst(path, data);
    return found ? Utf8FromUtf16(data.cFileName) : folder.LastName();
}

bool IsDotOrDotDot(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Junctions, symbolic links and mount points alike are reparse points.
Entry ToEntry(const WIN32_FIND_DATAW& data) {
    const DWORD attributes = data.dwFileAttributes;
    Entry entry;
    entry.name = Utf8FromUtf16(data.cFileName);
    entry.is_folder = IsDirectory(attributes) && !IsReparsePoint(attributes);
    entry.is_hidden = (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    entry.is_link = IsReparsePoint(attributes);
    return entry;
}

Failure VisitAll(HANDLE find, WIN32_FIND_DATAW& data, const EntryVisitor& visit,
                 const EntryPath& folder) {
    do {
        if (!IsDotOrDotDot(data.cFileName) && !visit(ToEntry(data))) {
            return {};
        }
    } while (::FindNextFileW(find, &data));
    const DWORD error = ::GetLastError();
    return error == ERROR_NO_MORE_FILES ? Failure() : SystemFailure(error, folder.Below());
}

// The source and target of a move, each resolved once and held in place
// until the last entry has moved.
class FolderPairMover final : public EntryMover {
  public:
    FolderPairMover(Resolved from, Resolved to) : from_(std::move(from)), to_(std::move(to)) {}

    Failure Move(const std::string& name) override {
        const Resolved source = JoinName(from_.path, name);
        const Resolved target = JoinName(to_.path, name);
        if (source.error) {
            return Failure(source.error.number);
        }
        if (!::MoveFileExW(source.path.c_str(), target.path.c_str(), 0)) {
            return SystemFailure(::GetLastError(), {});
        }
        return {};
    }

  private:
    Resolved from_;
    Resolved to_;
};

}  // namespace

// Paths are made absolute as text, so "D\A\.." means D before anything
// is renamed; holding D without sharing delete access keeps it from being
// renamed or swapped for a junction between the calls of one walk.
void Win32FileSystem::HoldRoot(const EntryPath& root) {
    ReleaseRoot();
    const auto path = win32::LongRootPath(root.Root());
    std::vector<UniqueHandle> held;
    if (path.ok() && HoldFolder(path.value, held) == kNoError) {
        held_root_ = std::shared_ptr<void>(held.front().release(), HandleCloser());
    }
}

void Win32FileSystem::ReleaseRoot() {
    held_root_.reset();
}

Result<std::string> Win32FileSystem::FolderName(const EntryPath& folder) {
    if (folder.IsRoot()) {
        const auto root = win32::LongRootPath(folder.Root());
        const Failure error = root.ok() ? RootLookupError(root.value) : Failure(root.error);
        if (error) {
            return {folder.LastName(), error};
        }
    }
    const Resolved resolved = ResolveFolder(folder);
    if (resolved.error) {
        return {folder.LastName(), resolved.error};
    }
    return {StoredName(resolved.path, folder)};
}

Failure Win32FileSystem::ListEntries(const EntryPath& folder, const EntryVisitor& visit) {
    const Resolved resolved = ResolveFolder(folder);
    if (resolved.error) {
        return resolved.error;
    }
    WIN32_FIND_DATAW data;
    const UniqueFind find = FindFirst(Join(resolved.path, L"*"), data);
    if (!find) {
        const DWORD error = ::GetLastError();
        // A drive root lists no "." and "..": when it is empty, nothing matches.
        return error == ERROR_FILE_NOT_FOUND ? Failure() : SystemFailure(error, folder.Below());
    }
    return VisitAll(find.get(), data, visit, folder);
}

Failure Win32FileSystem::RenamePlainFolder(const EntryPath& folder, const std::string& new_name) {
    const Resolved parent = ResolveFolder(folder.Parent());
    if (parent.error) {
        return parent.error;
    }
    const Resolved source = JoinName(parent.path, folder.LastName());
    const Resolved target = JoinName(parent.path, new_name);
    if (source.error || target.error) {
        return {kBadFileName, 0, folder.Below()};
    }
    if (!::MoveFileExW(source.path.c_str(), target.path.c_str(), 0)) {
        return SystemFailure(::GetLastError(), folder.Below());
    }
    return {};
}

Result<std::unique_ptr<EntryMover>> Win32FileSystem::OpenMove(const EntryPath& from,
                                                              const EntryPath& to) {
    Resolved source = ResolveFolder(from);
    if (source.error) {
        return {nullptr, source.error};
    }
    Resolved target = ResolveFolder(to);
    if (target.error) {
        return {nullptr, target.error};
    }
    return {std::make_unique<FolderPairMover>(std::move(source), std::move(target))};
}

Failure Win32FileSystem::RemoveEmptyChild(const EntryPath& folder) {
    const Resolved resolved = ResolveFolder(folder, false);
    if (resolved.error) {
        return resolved.error;
    }
    if (!::RemoveDirectoryW(resolved.path.c_str())) {
        return SystemFailure(::GetLastError(), folder.Below());
    }
    return {};
}

namespace {

// Windows counts 100-nanosecond steps from 1601; the journal nanoseconds from 1970.
constexpr std::int64_t kFrom1601To1970 = 116'444'736'000'000'000;

std::int64_t Nanoseconds(const FILETIME& time) {
    const auto steps = (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (steps - kFrom1601To1970) * 100;
}

FILETIME FromNanoseconds(std::int64_t ns) {
    const auto steps = static_cast<std::uint64_t>(ns / 100 + kFrom1601To1970);
    return {static_cast<DWORD>(steps & 0xFFFFFFFF), static_cast<DWORD>(steps >> 32)};
}

// The entry itself, a reparse point's own and not its target's.
Result<std::wstring> EntryPathOf(const EntryPath& entry) {
    if (entry.IsRoot()) {
        return win32::LongRootPath(entry.Root());
    }
    const Resolved parent = ResolveFolder(entry.Parent());
    if (parent.error) {
        return {{}, parent.error};
    }
    const Resolved joined = JoinName(parent.path, entry.LastName());
    if (joined.error) {
        return {{}, {kBadFileName, 0, entry.Below()}};
    }
    return {joined.path};
}

struct Information {
    BY_HANDLE_FILE_INFORMATION info{};
    Failure error;
};

Information InformationOf(const EntryPath& entry) {
    const auto path = EntryPathOf(entry);
    if (!path.ok()) {
        return {{}, path.error};
    }
    HANDLE handle = ::CreateFileW(
        path.value.c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return {{}, SystemFailure(::GetLastError(), entry.Below())};
    }
    const UniqueHandle owned(handle);
    Information found;
    if (!::GetFileInformationByHandle(handle, &found.info)) {
        found.error = SystemFailure(::GetLastError(), entry.Below());
    }
    return found;
}

EntryKind KindOf(DWORD attributes) {
    if (IsReparsePoint(attributes)) {
        return EntryKind::kLink;
    }
    return IsDirectory(attributes) ? EntryKind::kFolder : EntryKind::kFile;
}

}  // namespace

Result<Identity> Win32FileSystem::Identify(const EntryPath& entry) {
    const Information found = InformationOf(entry);
    if (found.error) {
        return {{}, found.error};
    }
    const auto& info = found.info;
    return {Identity{info.dwVolumeSerialNumber,
                     (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                     KindOf(info.dwFileAttributes)}};
}

Result<FolderLook> Win32FileSystem::LookOfFolder(const EntryPath& folder) {
    const Information found = InformationOf(folder);
    if (found.error) {
        return {{}, found.error};
    }
    const auto& info = found.info;
    return {FolderLook{static_cast<std::uint32_t>(info.dwFileAttributes),
                       Nanoseconds(info.ftLastAccessTime), Nanoseconds(info.ftLastWriteTime)}};
}

Failure Win32FileSystem::CreateChildFolder(const EntryPath& folder) {
    const auto path = EntryPathOf(folder);
    if (!path.ok()) {
        return path.error;
    }
    if (!::CreateDirectoryW(path.value.c_str(), nullptr)) {
        return SystemFailure(::GetLastError(), folder.Below());
    }
    return {};
}

// Only the attributes a user sets; the folder's own handle, never a target's.
Failure Win32FileSystem::SetChildLook(const EntryPath& folder, const FolderLook& look) {
    const auto path = EntryPathOf(folder);
    if (!path.ok()) {
        return path.error;
    }
    constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    HANDLE handle = ::CreateFileW(
        path.value.c_str(), FILE_WRITE_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return SystemFailure(::GetLastError(), folder.Below());
    }
    const UniqueHandle owned(handle);
    FILE_BASIC_INFO basic{};
    const FILETIME access = FromNanoseconds(look.access_ns);
    const FILETIME write = FromNanoseconds(look.modify_ns);
    basic.LastAccessTime.LowPart = access.dwLowDateTime;
    basic.LastAccessTime.HighPart = static_cast<LONG>(access.dwHighDateTime);
    basic.LastWriteTime.LowPart = write.dwLowDateTime;
    basic.LastWriteTime.HighPart = static_cast<LONG>(write.dwHighDateTime);
    basic.FileAttributes = (look.mode & kSettable) | FILE_ATTRIBUTE_DIRECTORY;
    if (!::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic)) {
        return SystemFailure(::GetLastError(), folder.Below());
    }
    return {};
}

std::unique_ptr<FileSystem> MakeNativeFileSystem() {
    return std::make_unique<Win32FileSystem>();
}

}  // namespace karuneo
