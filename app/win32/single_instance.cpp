#include "app/win32/single_instance.h"

// windows.h first: sddl.h relies on its types.
#include <sddl.h>

#include <cstdint>
#include <memory>

#include "window/win32/copy_data_handoff.h"

namespace karuneo::win32 {
namespace {

constexpr DWORD kGiveUpAfterMs = 10'000;
constexpr DWORD kRetryEveryMs = 50;
constexpr UINT kAnswerWithinMs = 5'000;

// The user's SID: names in the session's namespace are shared by every user
// logged on to it (fast user switching keeps sessions apart, runas does not).
std::wstring UserIdentity() {
    HANDLE token = nullptr;
    std::wstring identity;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        DWORD size = 0;
        ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        auto user = std::make_unique<std::byte[]>(size);
        wchar_t* sid = nullptr;
        if (size > 0 && ::GetTokenInformation(token, TokenUser, user.get(), size, &size) &&
            ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.get())->User.Sid, &sid)) {
            identity = sid;
            ::LocalFree(sid);
        }
        ::CloseHandle(token);
    }
    if (identity.empty()) {
        wchar_t name[257] = {};
        DWORD length = 257;
        ::GetUserNameW(name, &length);
        identity = name;
    }
    return identity;
}

}  // namespace

SingleInstance::SingleInstance()
    : name_(L"Local\\karuneo-window-" + UserIdentity()),
      mutex_(::CreateMutexW(nullptr, FALSE, name_.c_str())) {}

SingleInstance::~SingleInstance() {
    if (published_ != nullptr) {
        ::CloseHandle(published_);
    }
    if (mutex_ != nullptr) {
        if (claimed_) {
            ::ReleaseMutex(mutex_);
        }
        ::CloseHandle(mutex_);
    }
}

bool SingleInstance::Claim() {
    if (mutex_ == nullptr) {
        // Without the mutex nobody can be told apart: each start is alone.
        return true;
    }
    // Abandoned: the first start ended without letting go; the claim is free.
    const DWORD waited = ::WaitForSingleObject(mutex_, 0);
    claimed_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return claimed_;
}

void SingleInstance::Publish(HWND window) {
    if (!claimed_) {
        return;
    }
    const std::wstring name = name_ + L"-hwnd";
    published_ = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(std::uint64_t), name.c_str());
    if (published_ == nullptr) {
        return;
    }
    if (void* view = ::MapViewOfFile(published_, FILE_MAP_WRITE, 0, 0, sizeof(std::uint64_t))) {
        *static_cast<volatile std::uint64_t*>(view) = reinterpret_cast<std::uintptr_t>(window);
        ::UnmapViewOfFile(view);
    }
}

HWND SingleInstance::FirstWindow() const {
    const std::wstring name = name_ + L"-hwnd";
    HANDLE published = ::OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str());
    if (published == nullptr) {
        return nullptr;
    }
    std::uint64_t value = 0;
    if (void* view = ::MapViewOfFile(published, FILE_MAP_READ, 0, 0, sizeof value)) {
        value = *static_cast<const volatile std::uint64_t*>(view);
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(published);
    const auto window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
    return window != nullptr && ::IsWindow(window) ? window : nullptr;
}

Start ClaimOrHandOver(SingleInstance& instance, const std::vector<std::string>& folders) {
    const ULONGLONG give_up = ::GetTickCount64() + kGiveUpAfterMs;
    for (;;) {
        if (instance.Claim()) {
            return Start::kOpenWindow;
        }
        if (HWND first = instance.FirstWindow()) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(first, &process);
            // This start was the user's last action, so it may hand the
            // foreground on; the first window then comes to the front.
            ::AllowSetForegroundWindow(process);
            if (SendFolders(first, folders, kAnswerWithinMs)) {
                return Start::kHandedOver;
            }
        }
        // Not up yet, or closing: ask again until it is up or gone.
        if (::GetTickCount64() > give_up) {
            return Start::kOpenWindow;
        }
        ::Sleep(kRetryEveryMs);
    }
}

}  // namespace karuneo::win32
