// Every folder on the way to an entry is opened part by part from the new
// folder, as itself and never through a reparse point, must be one this
// target made (by volume and file ID: under Wine a Unix link shows as a
// plain folder, and leads elsewhere), and stays held without sharing delete
// access while entries are made in it, so that none can be renamed or
// swapped meanwhile. Entries are made with CREATE_NEW or its like: nothing
// is ever replaced. A name Windows cannot hold, or one that differs only in
// letter case from one made already (which Windows would take for the same
// entry), is refused before anything of that name is made.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/extract/entry_handle_win32.h"
#include "engine/extract/extract_target.h"
#include "engine/extract/refusal.h"
#include "engine/reason/row_reason.h"
#include "engine/utf16_win32.h"
#include "engine/wide_path_win32.h"

namespace karuneo::extract {
namespace {

using entries::FileKey;
using entries::kUnixEpochTicks;
using entries::OpenEntry;
using entries::OpenNoFollow;
using entries::UniqueHandle;

std::string Joined(const Parts& parts, std::size_t count) {
    std::string joined;
    for (std::size_t i = 0; i < count; ++i) {
        joined += (i > 0 ? "/" : "") + parts[i];
    }
    return joined;
}

Refusal Failed(DWORD code, const Parts& parts, std::size_t count) {
    const int system_code = static_cast<int>(code);
    if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) {
        return {ExtractProblem::kDuplicate, Joined(parts, count)};
    }
    if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) {
        return {ExtractProblem::kNoSpace, Joined(parts, count), {}, system_code};
    }
    return {ExtractProblem::kWrite, Joined(parts, count), {}, system_code};
}

// Windows opens the device whatever the extension; the superscript digits
// name ports too.
bool IsDeviceName(std::wstring_view name) {
    std::wstring stem(name.substr(0, name.find(L'.')));
    stem.erase(stem.find_last_not_of(L' ') + 1);
    for (auto& c : stem) {
        if (c >= L'a' && c <= L'z') {
            c = static_cast<wchar_t>(c - L'a' + L'A');
        }
    }
    constexpr std::array<std::wstring_view, 6> kPlain = {L"CON", L"PRN",    L"AUX",
                                                         L"NUL", L"CONIN$", L"CONOUT$"};
    if (std::find(kPlain.begin(), kPlain.end(), stem) != kPlain.end()) {
        return true;
    }
    const std::wstring_view digits = L"0123456789\u00B9\u00B2\u00B3";
    return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) &&
           digits.find(stem[3]) != std::wstring_view::npos;
}

// Why Windows cannot hold `name`; none when it can.
std::optional<Refusal> NameRefused(const std::optional<std::wstring>& name, const Parts& parts,
                                   std::size_t count) {
    if (!name || name->empty()) {
        return Failed(ERROR_INVALID_NAME, parts, count);
    }
    if (IsDeviceName(*name)) {
        return Refusal{ExtractProblem::kDeviceName, Joined(parts, count)};
    }
    const bool reserved = std::any_of(name->begin(), name->end(), [](wchar_t c) {
        return c < 0x20 || std::wstring_view(L"<>:\"|?*/\\").find(c) != std::wstring_view::npos;
    });
    // Windows drops a trailing dot or space: the entry would get another name.
    if (reserved || name->back() == L'.' || name->back() == L' ') {
        return Failed(ERROR_INVALID_NAME, parts, count);
    }
    return std::nullopt;
}

// As Windows compares names: by each unit's upper case, whatever the locale.
std::wstring Folded(const std::wstring& text) {
    std::wstring folded(text.size(), L'\0');
    const int done = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(),
                                     static_cast<int>(text.size()), folded.data(),
                                     static_cast<int>(folded.size()), nullptr, nullptr, 0);
    return done == static_cast<int>(text.size()) ? folded : text;
}

struct Chain {
    std::vector<UniqueHandle> held;  // the folders from the new folder down
    std::wstring path;
};

class Win32ExtractTarget final : public ExtractTarget {
  public:
    Refusal MakeTop(const std::string& parent, const std::string& name) override;
    Refusal MakeFolder(const Parts& parts, std::uint32_t mode) override;
    Refusal OpenFile(const Parts& parts, std::uint32_t mode) override;
    Refusal Write(std::string_view data, std::int64_t offset) override;
    Refusal CloseFile(std::int64_t size, bool has_mtime, std::int64_t mtime_s,
                      long mtime_ns) override;
    Refusal MakeSymlink(const Parts& parts, const std::string& target) override;
    Refusal MakeHardLink(const Parts& parts, const Parts& existing) override;
    std::uint64_t FreeBytes() override;
    void LetGo() override;
    bool RemoveMade() override;

  private:
    // The name's wide form, once it is one Windows can hold and clashes in
    // letter case with nothing made.
    Refusal CheckName(const Parts& parts, std::size_t count, std::wstring& wide);
    void NoteName(const Parts& parts, std::size_t count);
    // The folders holding the entry `parts`, made where missing.
    Refusal OpenChain(const Parts& parts, bool make_missing, Chain& chain);
    Refusal OpenParent(const Parts& parts, bool make_missing, const std::wstring*& path);
    // Where the entry `parts` is to be made, the folders above it made and held.
    Refusal NewPath(const Parts& parts, std::wstring& path);
    Refusal MakeOneFolder(const std::wstring& path, const Parts& parts, std::size_t count);
    bool IsMade(const OpenEntry& entry) const { return made_.count(entry.Key()) > 0; }
    void NoteMade(const std::wstring& path);

    UniqueHandle parent_;
    std::wstring parent_path_;
    std::wstring top_path_;
    UniqueHandle top_;
    std::set<FileKey> made_;
    std::map<std::wstring, std::string> names_;  // folded path below the top: the path made
    std::unordered_set<std::string> files_;      // joined parts, for hard links
    Parts cached_parts_;
    Chain cached_;
    UniqueHandle file_;
    Parts file_parts_;
    std::int64_t file_end_ = 0;
};

Refusal Win32ExtractTarget::CheckName(const Parts& parts, std::size_t count, std::wstring& wide) {
    const auto name = win32::Utf16FromUtf8(parts[count - 1]);
    if (auto refused = NameRefused(name, parts, count)) {
        return *refused;
    }
    wide = *name;
    const auto relative = win32::Utf16FromUtf8(Joined(parts, count));
    const auto found = names_.find(Folded(relative.value_or(wide)));
    if (found != names_.end() && found->second != Joined(parts, count)) {
        return {ExtractProblem::kDuplicate, Joined(parts, count)};
    }
    return {};
}

void Win32ExtractTarget::NoteName(const Parts& parts, std::size_t count) {
    const std::string joined = Joined(parts, count);
    names_.emplace(Folded(win32::Utf16FromUtf8(joined).value_or(L"")), joined);
}

void Win32ExtractTarget::NoteMade(const std::wstring& path) {
    const OpenEntry made = OpenNoFollow(path, false);
    if (made.handle) {
        made_.insert(made.Key());
    }
}

Refusal Win32ExtractTarget::MakeTop(const std::string& parent, const std::string& name) {
    // The archive's own folder is reached as the user named it.
    auto parent_path = win32::LongRootPath(parent);
    const auto wide_name = win32::Utf16FromUtf8(name);
    if (!parent_path.ok() || !wide_name) {
        return {ExtractProblem::kWrite, {}, {}, ERROR_INVALID_NAME};
    }
    parent_path_ = std::move(parent_path).value();
    OpenEntry held = OpenNoFollow(parent_path_, false);
    if (!held.handle) {
        return {ExtractProblem::kWrite, {}, {}, static_cast<int>(held.error)};
    }
    parent_ = std::move(held.handle);
    const std::wstring top_path = entries::Joined(parent_path_, *wide_name);
    if (!::CreateDirectoryW(top_path.c_str(), nullptr)) {
        const DWORD code = ::GetLastError();
        return {code == ERROR_ALREADY_EXISTS ? ExtractProblem::kNoFreeName : ExtractProblem::kWrite,
                {},
                {},
                static_cast<int>(code)};
    }
    top_path_ = top_path;
    OpenEntry top = OpenNoFollow(top_path_, false);
    if (!top.handle || top.IsLink() || !top.IsFolder()) {
        return {ExtractProblem::kWrite, {}, {}, static_cast<int>(top.error)};
    }
    made_.insert(top.Key());
    top_ = std::move(top.handle);
    return {};
}

Refusal Win32ExtractTarget::MakeOneFolder(const std::wstring& path, const Parts& parts,
                                          std::size_t count) {
    if (::CreateDirectoryW(path.c_str(), nullptr)) {
        NoteMade(path);
        NoteName(parts, count);
        return {};
    }
    const DWORD code = ::GetLastError();
    const OpenEntry there = OpenNoFollow(path, false);
    // Archives repeat folders: one this target made, by this very name, is
    // no clash.
    if (code == ERROR_ALREADY_EXISTS && there.handle && there.IsFolder() && !there.IsLink() &&
        IsMade(there) &&
        names_.count(Folded(win32::Utf16FromUtf8(Joined(parts, count)).value_or(L""))) > 0) {
        return {};
    }
    return Failed(code, parts, count);
}

Refusal Win32ExtractTarget::OpenChain(const Parts& parts, bool make_missing, Chain& chain) {
    const std::size_t depth = parts.size() - 1;
    chain.path = top_path_;
    for (std::size_t i = 0; i < depth; ++i) {
        std::wstring name;
        if (auto refused = CheckName(parts, i + 1, name)) {
            return refused;
        }
        const std::wstring path = entries::Joined(chain.path, name);
        OpenEntry next = OpenNoFollow(path, false);
        if (!next.handle && make_missing &&
            (next.error == ERROR_FILE_NOT_FOUND || next.error == ERROR_PATH_NOT_FOUND)) {
            if (auto refused = MakeOneFolder(path, parts, i + 1)) {
                return refused;
            }
            next = OpenNoFollow(path, false);
        }
        if (!next.handle) {
            return Failed(next.error, parts, i + 1);
        }
        // A file, a link, or a folder another program put there.
        if (!next.IsFolder() || next.IsLink() || !IsMade(next)) {
            return {ExtractProblem::kDuplicate, Joined(parts, i + 1)};
        }
        chain.held.push_back(std::move(next.handle));
        chain.path = path;
    }
    return {};
}

// Cached, since an archive lists a folder's entries together.
Refusal Win32ExtractTarget::OpenParent(const Parts& parts, bool make_missing,
                                       const std::wstring*& path) {
    const std::size_t depth = parts.size() - 1;
    if (!cached_.path.empty() && cached_parts_.size() == depth &&
        std::equal(cached_parts_.begin(), cached_parts_.end(), parts.begin())) {
        path = &cached_.path;
        return {};
    }
    cached_ = Chain{};
    Chain chain;
    if (auto refused = OpenChain(parts, make_missing, chain)) {
        return refused;
    }
    cached_parts_.assign(parts.begin(), parts.begin() + static_cast<long>(depth));
    cached_ = std::move(chain);
    path = &cached_.path;
    return {};
}

Refusal Win32ExtractTarget::NewPath(const Parts& parts, std::wstring& path) {
    const std::wstring* parent = nullptr;
    if (auto refused = OpenParent(parts, true, parent)) {
        return refused;
    }
    std::wstring name;
    if (auto refused = CheckName(parts, parts.size(), name)) {
        return refused;
    }
    path = entries::Joined(*parent, name);
    return {};
}

Refusal Win32ExtractTarget::MakeFolder(const Parts& parts, std::uint32_t /*mode*/) {
    std::wstring path;
    if (auto refused = NewPath(parts, path)) {
        return refused;
    }
    return MakeOneFolder(path, parts, parts.size());
}

// The mode is not kept: a read-only attribute would only keep its owner, and
// the undo, from changing and removing what was extracted.
Refusal Win32ExtractTarget::OpenFile(const Parts& parts, std::uint32_t /*mode*/) {
    std::wstring path;
    if (auto refused = NewPath(parts, path)) {
        return refused;
    }
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return Failed(::GetLastError(), parts, parts.size());
    }
    file_.reset(file);
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(file, &info)) {
        made_.emplace(info.dwVolumeSerialNumber,
                      (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
    }
    NoteName(parts, parts.size());
    file_parts_ = parts;
    file_end_ = 0;
    files_.insert(Joined(parts, parts.size()));
    return {};
}

Refusal Win32ExtractTarget::Write(std::string_view data, std::int64_t offset) {
    constexpr std::size_t kMostAtOnce = 1u << 30;
    while (!data.empty()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
        const auto size = static_cast<DWORD>(std::min(data.size(), kMostAtOnce));
        DWORD wrote = 0;
        if (!::WriteFile(file_.get(), data.data(), size, &wrote, &at)) {
            return Failed(::GetLastError(), file_parts_, file_parts_.size());
        }
        if (wrote == 0) {
            return Failed(ERROR_DISK_FULL, file_parts_, file_parts_.size());
        }
        data.remove_prefix(wrote);
        offset += wrote;
    }
    file_end_ = std::max(file_end_, offset);
    return {};
}

Refusal Win32ExtractTarget::CloseFile(std::int64_t size, bool has_mtime, std::int64_t mtime_s,
                                      long mtime_ns) {
    // A sparse file's last hole is no block of data: the size makes it.
    if (file_end_ < size) {
        FILE_END_OF_FILE_INFO end{};
        end.EndOfFile.QuadPart = size;
        if (!::SetFileInformationByHandle(file_.get(), FileEndOfFileInfo, &end, sizeof end)) {
            return Failed(::GetLastError(), file_parts_, file_parts_.size());
        }
    }
    if (has_mtime) {
        const std::int64_t ticks = mtime_s * 10000000 + mtime_ns / 100 + kUnixEpochTicks;
        if (ticks > 0) {
            FILETIME written{static_cast<DWORD>(static_cast<std::uint64_t>(ticks) & 0xFFFFFFFFu),
                             static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32)};
            (void)::SetFileTime(file_.get(), nullptr, nullptr, &written);  // a time not kept
                                                                           // loses no data
        }
    }
    HANDLE file = file_.release();
    return ::CloseHandle(file) ? Refusal{}
                               : Failed(::GetLastError(), file_parts_, file_parts_.size());
}

// Never made: the entry checks refuse the archive first (entry_checks.cpp).
Refusal Win32ExtractTarget::MakeSymlink(const Parts& parts, const std::string& /*target*/) {
    return {ExtractProblem::kLinkNotMade, Joined(parts, parts.size())};
}

Refusal Win32ExtractTarget::MakeHardLink(const Parts& parts, const Parts& existing) {
    if (files_.count(Joined(existing, existing.size())) == 0) {
        return {ExtractProblem::kHardLink, Joined(parts, parts.size()),
                Joined(existing, existing.size())};
    }
    Chain from;
    if (auto refused = OpenChain(existing, false, from)) {
        return refused;
    }
    std::wstring existing_name;
    if (auto refused = CheckName(existing, existing.size(), existing_name)) {
        return refused;
    }
    const std::wstring existing_path = entries::Joined(from.path, existing_name);
    // The very file this target made, not one put in its place.
    const OpenEntry linked = OpenNoFollow(existing_path, false);
    if (!linked.handle || linked.IsFolder() || linked.IsLink() || !IsMade(linked)) {
        return {ExtractProblem::kHardLink, Joined(parts, parts.size()),
                Joined(existing, existing.size())};
    }
    std::wstring path;
    if (auto refused = NewPath(parts, path)) {
        return refused;
    }
    // Fails where the name is taken: nothing is replaced.
    if (!::CreateHardLinkW(path.c_str(), existing_path.c_str(), nullptr)) {
        return Failed(::GetLastError(), parts, parts.size());
    }
    NoteName(parts, parts.size());
    files_.insert(Joined(parts, parts.size()));
    return {};
}

std::uint64_t Win32ExtractTarget::FreeBytes() {
    ULARGE_INTEGER available{};
    if (top_path_.empty() || !::GetDiskFreeSpaceExW(entries::Joined(top_path_, L"").c_str(),
                                                    &available, nullptr, nullptr)) {
        return UINT64_MAX;  // the writes themselves will tell
    }
    return available.QuadPart;
}

void Win32ExtractTarget::LetGo() {
    file_.reset();
    cached_ = Chain{};
    cached_parts_.clear();
    top_.reset();
    parent_.reset();
}

bool Win32ExtractTarget::RemoveMade() {
    LetGo();
    if (top_path_.empty()) {
        return true;
    }
    const auto ours = [this](const OpenEntry& entry) { return IsMade(entry); };
    OpenEntry top = OpenNoFollow(top_path_, true);
    if (!top.handle || top.IsLink() || !IsMade(top)) {
        return false;
    }
    return entries::RemoveInside(top_path_, ours) && entries::RemoveHeld(top);
}

}  // namespace

std::unique_ptr<ExtractTarget> MakeNativeExtractTarget() {
    return std::make_unique<Win32ExtractTarget>();
}

}  // namespace karuneo::extract
