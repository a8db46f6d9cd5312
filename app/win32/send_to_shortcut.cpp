#include "app/win32/send_to_shortcut.h"

#include <windows.h>
// windows.h first: the shell's headers rely on its types.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "engine/system_code.h"
#include "engine/utf16_win32.h"
#include "window/rules/shell_registration.h"

namespace karuneo::win32 {
namespace {

using ShortcutResult = ShortcutChange::Result;

ShortcutChange ShortcutFailed(HRESULT result) {
    return {ShortcutResult::kFailed,
            SystemMessage(static_cast<int>(HRESULT_CODE(result)), MessageLanguage::kEnglish)};
}

// The shell's link object and its file, released when done.
class ShellLink {
  public:
    ShellLink() {
        result_ = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, reinterpret_cast<void**>(&link_));
        if (SUCCEEDED(result_)) {
            result_ = link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file_));
        }
    }
    ~ShellLink() {
        if (file_ != nullptr) {
            file_->Release();
        }
        if (link_ != nullptr) {
            link_->Release();
        }
    }
    ShellLink(const ShellLink&) = delete;
    ShellLink& operator=(const ShellLink&) = delete;

    HRESULT Result() const { return result_; }
    IShellLinkW* Link() const { return link_; }
    IPersistFile* File() const { return file_; }

  private:
    HRESULT result_ = E_FAIL;
    IShellLinkW* link_ = nullptr;
    IPersistFile* file_ = nullptr;
};

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsOurs(const std::wstring& shortcut) {
    return IsKaruneoProgram(Utf8FromUtf16(ShortcutTarget(shortcut)));
}

}  // namespace

std::wstring SendToShortcutPath() {
    wchar_t* folder = nullptr;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_SendTo, KF_FLAG_CREATE, nullptr, &folder))) {
        ::CoTaskMemFree(folder);
        return {};
    }
    std::wstring path =
        std::wstring(folder) + L"\\" + Utf16FromUtf8(kSendToShortcut).value_or(L"karuneo.lnk");
    ::CoTaskMemFree(folder);
    return path;
}

std::wstring ShortcutTarget(const std::wstring& shortcut) {
    ShellLink link;
    if (FAILED(link.Result()) || FAILED(link.File()->Load(shortcut.c_str(), STGM_READ))) {
        return {};
    }
    wchar_t target[MAX_PATH] = {};
    // SLGP_RAWPATH: the path as written, not one the shell searched for.
    if (FAILED(link.Link()->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) {
        return {};
    }
    return target;
}

ShortcutChange WriteSendToShortcut(const std::string& exe_path) {
    const std::wstring shortcut = SendToShortcutPath();
    if (shortcut.empty()) {
        return {ShortcutResult::kFailed, "the Send To folder was not found"};
    }
    if (Exists(shortcut) && !IsOurs(shortcut)) {
        return {ShortcutResult::kNotOurs, {}};
    }
    ShellLink link;
    if (FAILED(link.Result())) {
        return ShortcutFailed(link.Result());
    }
    const std::wstring exe = Utf16FromUtf8(exe_path).value_or(L"");
    link.Link()->SetPath(exe.c_str());
    link.Link()->SetIconLocation(exe.c_str(), 0);
    link.Link()->SetDescription(Utf16FromUtf8(kVerbLabel).value_or(L"").c_str());
    if (const HRESULT saved = link.File()->Save(shortcut.c_str(), TRUE); FAILED(saved)) {
        return ShortcutFailed(saved);
    }
    return {ShortcutResult::kDone, {}};
}

ShortcutChange RemoveSendToShortcut() {
    const std::wstring shortcut = SendToShortcutPath();
    if (shortcut.empty() || !Exists(shortcut)) {
        return {ShortcutResult::kNothingThere, {}};
    }
    if (!IsOurs(shortcut)) {
        return {ShortcutResult::kNotOurs, {}};
    }
    if (!::DeleteFileW(shortcut.c_str())) {
        return {ShortcutResult::kFailed,
                SystemMessage(static_cast<int>(::GetLastError()), MessageLanguage::kEnglish)};
    }
    return {ShortcutResult::kDone, {}};
}

}  // namespace karuneo::win32
