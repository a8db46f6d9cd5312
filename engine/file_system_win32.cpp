// Every path below a dropped folder is opened component by component: none
// may be a reparse point, and each stays open, without sharing delete access,
// until the call is done, so no folder on the way can be renamed or swapped
// for a junction meanwhile: a listing, a move or a removal cannot be led out
// of the dropped folder. A file system seen through Windows may show a link
// as a plain entry, so each folder on the way and each entry moved must also
// be, by the name the system holds it under, its parent's own. Entries move
// by their own handle, never replacing an existing entry (in any letter
// case) and never copied across volumes.
#include "engine/file_system_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/entry_path.h"
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
// A failure about `entry`, with its own name whole: the name may be the
// reason, and may hold a backslash that its path would hide.
Failure NamedFailure(Failure failure, const EntryPath& entry) {
    failure.name = entry.IsRoot() ? std::string() : entry.LastName();
    return failure;
}

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct Resolved {
    std::wstring path;
    Failure error;
    std::vector<UniqueHandle> held;  // the folders on the way, pinned in place
    std::wstring held_name;          // of the last folder held, as the system opened it
};

// What NtQueryObject gives as a name: a UNICODE_STRING and the text after it.
struct ObjectName {
    USHORT length;  // bytes
    USHORT maximum_length;
    wchar_t* text;
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
        return {{}, Failure(kBadFileName), {}, {}};
    }
    return {Join(folder, *name), {}, {}, {}};
}

// The object name of what `handle` holds, volume and every folder on the
// way, as the system opened it: a link that the file system shows as a
// plain entry (a Unix link under Wine) is resolved in it. Asked of the
// system directly, as GetFinalPathNameByHandleW under Wine 8 answers
// nothing past 260 characters whatever the buffer. Empty when it cannot
// tell. `buffer` is kept by the caller from one call to the next.
using QueryObject = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
constexpr int kObjectNameInformation = 1;
constexpr LONG kBufferTooSmall[] = {static_cast<LONG>(0x80000005),   // STATUS_BUFFER_OVERFLOW
                                    static_cast<LONG>(0xC0000004),   // STATUS_INFO_LENGTH_MISMATCH
                                    static_cast<LONG>(0xC0000023)};  // STATUS_BUFFER_TOO_SMALL

std::wstring_view HeldName(HANDLE handle, std::vector<ObjectName>& buffer) {
    static const auto query = reinterpret_cast<QueryObject>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    if (query == nullptr) {
        return {};
    }
    constexpr std::size_t kLongestName = 0x10000;  // bytes: a UNICODE_STRING's limit
    if (buffer.empty()) {
        buffer.resize(1 + 1024 * sizeof(wchar_t) / sizeof(ObjectName));
    }
    for (;;) {
        const auto bytes = static_cast<ULONG>(buffer.size() * sizeof(ObjectName));
        ULONG needed = 0;
        const LONG status = query(handle, kObjectNameInformation, buffer.data(), bytes, &needed);
        if (status == 0) {
            return {buffer.front().text, buffer.front().length / sizeof(wchar_t)};
        }
        if (std::find(std::begin(kBufferTooSmall), std::end(kBufferTooSmall), status) ==
                std::end(kBufferTooSmall) ||
            bytes > kLongestName) {
            return {};
        }
        buffer.resize(2 + std::max<std::size_t>(needed, kLongestName) / sizeof(ObjectName));
    }
}

// A file system seen through Windows may show a link as a plain folder or
// file (a Unix link under Wine, a share's server-side link): what was opened
// as `name` in the folder named `parent` must be that folder's own entry,
// and not wherever a link leads. Names are compared as stored: the walk's
// come from listings, and a letter case that differs is not trusted.
Failure CheckInPlace(HANDLE handle, std::wstring_view parent, std::wstring_view name,
                     std::vector<ObjectName>& buffer) {
    const std::wstring_view held = HeldName(handle, buffer);
    const bool parent_ends = !parent.empty() && parent.back() == L'\\';
    const std::size_t slash = parent_ends ? 0 : 1;
    const bool in_place = !parent.empty() && held.size() == parent.size() + slash + name.size() &&
                          held.starts_with(parent) &&
                          (parent_ends || held[parent.size()] == L'\\') && held.ends_with(name);
    return in_place ? Failure() : SystemFailure(static_cast<int>(win32::kStoppedOnLink));
}

// An indexer, an antivirus or a preview pane holds a folder open for a
// moment, and a rename or removal meanwhile fails with a sharing violation:
// it is tried again, about a second in all. Neither MoveFileExW without
// flags nor RemoveDirectoryW can replace anything, so a later try can do
// nothing an earlier one would not have done.
constexpr DWORD kInUseWaitsMs[] = {5, 10, 20, 40, 75, 100, 150, 200, 200, 200};

bool IsInUse(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// ERROR_SUCCESS, or why `change` failed on its last try.
template <typename Change>
DWORD OnceNotInUse(const Change& change) {
    for (std::size_t waits = 0;; ++waits) {
        if (change()) {
            return ERROR_SUCCESS;
        }
        const DWORD error = ::GetLastError();
        if (!IsInUse(error) || waits == std::size(kInUseWaitsMs)) {
            return error;
        }
        ::Sleep(kInUseWaitsMs[waits]);
    }
}

// "\\?\C:\x" as the kernel spells it, "\??\C:\x".
std::wstring KernelPath(const std::wstring& path) {
    return path.starts_with(LR"(\\?\)") ? LR"(\??\)" + path.substr(4) : LR"(\??\)" + path;
}

// Renames what `handle` holds to `to`, never replacing an entry there.
BOOL RenameHeld(HANDLE handle, const std::wstring& to) {
    const std::wstring kernel_path = KernelPath(to);
    const std::size_t bytes = kernel_path.size() * sizeof(wchar_t);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + bytes, 0);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->FileNameLength = static_cast<DWORD>(bytes);
    kernel_path.copy(info->FileName, kernel_path.size());
    return ::SetFileInformationByHandle(handle, FileRenameInfo, info,
                                        static_cast<DWORD>(buffer.size()));
}

// Moves `name` of the folder at `from_folder` (named `from_held` as the
// system holds it) to `to`: renamed by its own handle once that handle is
// known to hold the entry itself, so that a link shown as a plain entry
// never moves its target (Wine renames a Unix link's target even by path).
// A link found so reads as one. Like MoveFileExW without flags, the rename
// neither replaces an entry nor copies across volumes.
DWORD MoveOnceNotInUse(const std::wstring& from_folder, const std::wstring& from_held,
                       const std::string& name, const std::wstring& to,
                       std::vector<ObjectName>& buffer) {
    const auto wide = IsPlainName(name) ? Utf16FromUtf8(name) : std::nullopt;
    if (!wide) {
        return ERROR_INVALID_NAME;
    }
    const std::wstring from = Join(from_folder, *wide);
    return OnceNotInUse([&]() -> BOOL {
        HANDLE handle = ::CreateFileW(
            from.c_str(), DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return FALSE;
        }
        const UniqueHandle owned(handle);
        if (CheckInPlace(handle, from_held, *wide, buffer)) {
            ::SetLastError(win32::kStoppedOnLink);
            return FALSE;
        }
        return RenameHeld(handle, to);
    });
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

}  // namespace

// The dropped folder resolved once per walk: GetFullPathNameW and the
// root's own open are not paid again on every call, as the POSIX layer
// keeps its descriptor. The handle, held without sharing delete access,
// keeps the path true until the walk lets it go.
struct Win32FileSystem::HeldRoot {
    std::string given;
    std::wstring long_path;
    std::shared_ptr<void> handle;
    std::wstring held_name;
};

namespace {

using HeldRoot = Win32FileSystem::HeldRoot;

Result<std::wstring> LongRoot(const EntryPath& entry, const HeldRoot* held_root) {
    if (held_root != nullptr && entry.Root() == held_root->given) {
        return {held_root->long_path};
    }
    return win32::LongRootPath(entry.Root());
}

// The folder itself is held too unless the caller is about to remove it;
// a root held for the walk is not opened again.
Resolved ResolveFolder(const EntryPath& folder, const HeldRoot* held_root, bool hold_last = true) {
    const auto root = LongRoot(folder, held_root);
    if (!root.ok()) {
        return {{}, root.error(), {}, {}};
    }
    const bool root_held = held_root != nullptr && folder.Root() == held_root->given;
    Resolved resolved{root.value(), {}, {}, {}};
    std::vector<ObjectName> buffer;
    const auto& names = folder.Names();
    for (std::size_t i = 0; i <= names.size() && !resolved.error; ++i) {
        const std::size_t parent_length = resolved.path.size();
        if (i > 0) {
            Resolved child = JoinName(resolved.path, names[i - 1]);
            resolved.path = std::move(child.path);
            resolved.error = child.error;
        }
        if (!resolved.error && !(i == 0 && root_held)) {
            resolved.error = HoldFolder(resolved.path, resolved.held);
        }
        if (!resolved.error && i > 0) {
            std::wstring_view name = std::wstring_view(resolved.path).substr(parent_length);
            name.remove_prefix(name.starts_with(L'\\') ? 1 : 0);
            resolved.error =
                CheckInPlace(resolved.held.back().get(), resolved.held_name, name, buffer);
        }
        if (!resolved.error) {
            resolved.held_name = i == 0 && root_held
                                     ? held_root->held_name
                                     : std::wstring(HeldName(resolved.held.back().get(), buffer));
        }
        if (resolved.error) {
            resolved.error.entry = folder.Below(i);
            resolved.error.name = i > 0 ? names[i - 1] : std::string();
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
        const Resolved target = JoinName(to_.path, name);
        if (target.error) {
            return Failure(target.error.number);
        }
        if (const DWORD error =
                MoveOnceNotInUse(from_.path, from_.held_name, name, target.path, buffer_)) {
            return SystemFailure(error, {});
        }
        return {};
    }

  private:
    Resolved from_;
    Resolved to_;
    std::vector<ObjectName> buffer_;
};

}  // namespace

// Paths are made absolute as text, so "D\A\.." means D before anything
// is renamed; holding D without sharing delete access keeps it from being
// renamed or swapped for a junction between the calls of one walk.
void Win32FileSystem::HoldRoot(const EntryPath& root) {
    ReleaseAll();
    const auto path = win32::LongRootPath(root.Root());
    std::vector<UniqueHandle> held;
    if (path.ok() && HoldFolder(path.value(), held) == kNoError) {
        std::vector<ObjectName> buffer;
        std::wstring held_name(HeldName(held.front().get(), buffer));
        held_root_ = std::make_unique<HeldRoot>(HeldRoot{
            root.Root(), path.value(),
            std::shared_ptr<void>(held.front().release(), HandleCloser()), std::move(held_name)});
    }
}

// One root at a time: releasing any lets go of the one held, as a new hold
// does.
void Win32FileSystem::ReleaseRoot(const EntryPath& /*root*/) {
    ReleaseAll();
}

void Win32FileSystem::ReleaseAll() {
    claims_.clear();
    held_root_.reset();
}

Win32FileSystem::Win32FileSystem() = default;
Win32FileSystem::~Win32FileSystem() = default;

Result<std::string> Win32FileSystem::FolderName(const EntryPath& folder) {
    if (folder.IsRoot()) {
        const auto root = LongRoot(folder, held_root_.get());
        const Failure error = root.ok() ? RootLookupError(root.value()) : Failure(root.error());
        if (error) {
            return error;
        }
    }
    const Resolved resolved = ResolveFolder(folder, held_root_.get());
    if (resolved.error) {
        return resolved.error;
    }
    return {StoredName(resolved.path, folder)};
}

Failure Win32FileSystem::ListEntries(const EntryPath& folder, const EntryVisitor& visit) {
    const Resolved resolved = ResolveFolder(folder, held_root_.get());
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
    const Resolved parent = ResolveFolder(folder.Parent(), held_root_.get());
    if (parent.error) {
        return parent.error;
    }
    const Resolved source = JoinName(parent.path, folder.LastName());
    const Resolved target = JoinName(parent.path, new_name);
    if (source.error || target.error) {
        return NamedFailure(Failure(kBadFileName, 0, folder.Below()), folder);
    }
    std::vector<ObjectName> buffer;
    if (const DWORD error = MoveOnceNotInUse(parent.path, parent.held_name, folder.LastName(),
                                             target.path, buffer)) {
        return NamedFailure(SystemFailure(error, folder.Below()), folder);
    }
    return {};
}

Result<std::unique_ptr<EntryMover>> Win32FileSystem::OpenMove(const EntryPath& from,
                                                              const EntryPath& to) {
    Resolved source = ResolveFolder(from, held_root_.get());
    if (source.error) {
        return source.error;
    }
    Resolved target = ResolveFolder(to, held_root_.get());
    if (target.error) {
        return target.error;
    }
    return {std::make_unique<FolderPairMover>(std::move(source), std::move(target))};
}

Failure Win32FileSystem::RemoveEmptyChild(const EntryPath& folder) {
    const Resolved resolved = ResolveFolder(folder, held_root_.get(), false);
    if (resolved.error) {
        return resolved.error;
    }
    // A removed folder's file index may go to a new folder at once, here or
    // in another run: the claim goes with the folder, or that new folder
    // would be found taken.
    std::optional<Claim> claim = TakeClaimOf(folder);
    if (const DWORD error =
            OnceNotInUse([&] { return ::RemoveDirectoryW(resolved.path.c_str()); })) {
        if (claim) {
            claims_.push_back(std::move(*claim));
        }
        return SystemFailure(error, folder.Below());
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
Result<std::wstring> EntryPathOf(const EntryPath& entry, const HeldRoot* held_root) {
    if (entry.IsRoot()) {
        return LongRoot(entry, held_root);
    }
    const Resolved parent = ResolveFolder(entry.Parent(), held_root);
    if (parent.error) {
        return parent.error;
    }
    const Resolved joined = JoinName(parent.path, entry.LastName());
    if (joined.error) {
        return NamedFailure(Failure(kBadFileName, 0, entry.Below()), entry);
    }
    return {joined.path};
}

struct Information {
    BY_HANDLE_FILE_INFORMATION info{};
    Failure error;
};

Information InformationOf(const EntryPath& entry, const HeldRoot* held_root) {
    const auto path = EntryPathOf(entry, held_root);
    if (!path.ok()) {
        return {{}, path.error()};
    }
    HANDLE handle = ::CreateFileW(
        path.value().c_str(), FILE_READ_ATTRIBUTES,
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

namespace {

// A folder's claim is a semaphore of one, named by the folder's identity in
// this session: unlike a mutex it belongs to no thread, so the walk may end
// on another thread than it began; and it goes with the last handle, so a
// run that dies leaves no claim behind. Folders themselves take no locks.
struct ClaimReleaser {
    void operator()(HANDLE semaphore) const {
        ::ReleaseSemaphore(semaphore, 1, nullptr);
        ::CloseHandle(semaphore);
    }
};

std::wstring ClaimName(std::uint32_t volume, std::uint64_t index) {
    wchar_t name[64];
    std::swprintf(name, std::size(name), L"Local\\karuneo-claim-%08lx-%016llx",
                  static_cast<unsigned long>(volume), static_cast<unsigned long long>(index));
    return name;
}

}  // namespace

// Like the POSIX layer's advisory locks: two runs of this program never
// rename and empty one chain at the same time. A folder claimed already by
// this walk is known by its identity.
Failure Win32FileSystem::ClaimFolder(const EntryPath& folder) {
    const Information found = InformationOf(folder, held_root_.get());
    if (found.error) {
        return {};  // the walk's own calls will meet whatever stands in the way
    }
    const std::uint32_t volume = found.info.dwVolumeSerialNumber;
    const std::uint64_t index =
        (static_cast<std::uint64_t>(found.info.nFileIndexHigh) << 32) | found.info.nFileIndexLow;
    for (const Claim& claim : claims_) {
        if (claim.volume == volume && claim.index == index) {
            return {};
        }
    }
    HANDLE semaphore = ::CreateSemaphoreW(nullptr, 1, 1, ClaimName(volume, index).c_str());
    if (semaphore == nullptr) {
        return {};  // no claims to be had: the walk goes ahead as before
    }
    if (::WaitForSingleObject(semaphore, 0) != WAIT_OBJECT_0) {
        ::CloseHandle(semaphore);
        return Failure(kAnotherRun, 0, folder.Below());
    }
    claims_.push_back({volume, index, std::shared_ptr<void>(semaphore, ClaimReleaser())});
    return {};
}

std::optional<Win32FileSystem::Claim> Win32FileSystem::TakeClaimOf(const EntryPath& folder) {
    if (claims_.empty()) {
        return std::nullopt;
    }
    const Information found = InformationOf(folder, held_root_.get());
    if (found.error) {
        return std::nullopt;
    }
    const std::uint64_t index =
        (static_cast<std::uint64_t>(found.info.nFileIndexHigh) << 32) | found.info.nFileIndexLow;
    for (auto claim = claims_.begin(); claim != claims_.end(); ++claim) {
        if (claim->volume == found.info.dwVolumeSerialNumber && claim->index == index) {
            Claim taken = std::move(*claim);
            claims_.erase(claim);
            return taken;
        }
    }
    return std::nullopt;
}

Result<Identity> Win32FileSystem::Identify(const EntryPath& entry) {
    const Information found = InformationOf(entry, held_root_.get());
    if (found.error) {
        return found.error;
    }
    const auto& info = found.info;
    return {Identity{info.dwVolumeSerialNumber,
                     (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                     KindOf(info.dwFileAttributes)}};
}

Result<FolderLook> Win32FileSystem::LookOfFolder(const EntryPath& folder) {
    const Information found = InformationOf(folder, held_root_.get());
    if (found.error) {
        return found.error;
    }
    const auto& info = found.info;
    FolderLook look;
    look.mode = static_cast<std::uint32_t>(info.dwFileAttributes);
    look.access_ns = Nanoseconds(info.ftLastAccessTime);
    look.modify_ns = Nanoseconds(info.ftLastWriteTime);
    return {std::move(look)};
}

Failure Win32FileSystem::CreateChildFolder(const EntryPath& folder) {
    const auto path = EntryPathOf(folder, held_root_.get());
    if (!path.ok()) {
        return path.error();
    }
    if (!::CreateDirectoryW(path.value().c_str(), nullptr)) {
        return SystemFailure(::GetLastError(), folder.Below());
    }
    return {};
}

// Only the attributes a user sets; the folder's own handle, never a target's.
Failure Win32FileSystem::SetChildLook(const EntryPath& folder, const FolderLook& look,
                                      LookNotRestored* not_restored) {
    const auto path = EntryPathOf(folder, held_root_.get());
    if (!path.ok()) {
        return path.error();
    }
    constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    HANDLE handle = ::CreateFileW(
        path.value().c_str(), FILE_WRITE_ATTRIBUTES,
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
    // A folder made again inherits its parent's security, as the one the run
    // removed had: the look carries no owner or access list here.
    (void)not_restored;
    return {};
}

std::unique_ptr<FileSystem> MakeNativeFileSystem() {
    return std::make_unique<Win32FileSystem>();
}

}  // namespace karuneo
