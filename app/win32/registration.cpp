#include "app/win32/registration.h"

#include <windows.h>
// windows.h first: objbase.h relies on its types.
#include <objbase.h>

#include "app/win32/folder_verb.h"
#include "app/win32/send_to_shortcut.h"

namespace karuneo::win32 {
namespace {

using VerbResult = RegistryChange::Result;
using ShortcutResult = ShortcutChange::Result;

// COM for the shortcut, for as long as one registration takes.
class ComScope {
  public:
    ComScope() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) {
            ::CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    HRESULT result_;
};

constexpr const char* kVerbName = "the folder menu item カルネオで展開";
constexpr const char* kShortcutName = "the Send To shortcut カルネオ.lnk";

std::string Because(const std::string& error) {
    return error.empty() ? "" : ": " + error;
}

}  // namespace

RegistrationOutcome Register(const std::string& exe_path) {
    const RegistryChange verb = WriteFolderVerb(exe_path);
    if (verb.result == VerbResult::kFailed) {
        return {1, std::string("karuneo: could not add ") + kVerbName + Because(verb.error)};
    }
    ComScope com;
    const ShortcutChange shortcut = WriteSendToShortcut(exe_path);
    const std::string added = std::string("karuneo: added ") + kVerbName;
    switch (shortcut.result) {
        case ShortcutResult::kNotOurs:
            return {1, added + "; " + kShortcutName +
                           " exists and starts another program, so it was left as it is"};
        case ShortcutResult::kFailed:
            return {1, added + "; could not add " + kShortcutName + Because(shortcut.error)};
        default:
            return {0, added + " and " + kShortcutName + ", both starting " + exe_path};
    }
}

RegistrationOutcome Unregister() {
    const RegistryChange verb = RemoveFolderVerb();
    ComScope com;
    const ShortcutChange shortcut = RemoveSendToShortcut();
    std::string line = "karuneo: ";
    int status = 0;
    switch (verb.result) {
        case VerbResult::kDone:
            line += std::string("removed ") + kVerbName;
            break;
        case VerbResult::kNothingThere:
            line += std::string("found no ") + kVerbName;
            break;
        case VerbResult::kKeptOthers:
            line += std::string("removed ") + kVerbName +
                    " but kept its key, which holds what another program put there";
            break;
        case VerbResult::kFailed:
            line += std::string("could not remove ") + kVerbName + Because(verb.error);
            status = 1;
            break;
    }
    switch (shortcut.result) {
        case ShortcutResult::kDone:
            return {status, line + "; removed " + kShortcutName};
        case ShortcutResult::kNothingThere:
            return {status, line + "; found no " + kShortcutName};
        case ShortcutResult::kNotOurs:
            return {status, line + "; kept " + kShortcutName + ", which starts another program"};
        case ShortcutResult::kFailed:
            break;
    }
    return {1, line + "; could not remove " + kShortcutName + Because(shortcut.error)};
}

}  // namespace karuneo::win32
