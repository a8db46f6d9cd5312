#pragma once

#include <string>

namespace karuneo::win32 {

// What became of the shortcut カルネオ.lnk in the user's Send To folder;
// `error` is the system's message when it failed.
struct ShortcutChange {
    enum class Result { kDone, kNothingThere, kNotOurs, kFailed } result;
    std::string error;
};

// Makes the shortcut start `exe_path` (UTF-8) with its icon; one of an
// earlier karuneo.exe is replaced, any other left alone (kNotOurs).
// Needs COM on the calling thread.
ShortcutChange WriteSendToShortcut(const std::string& exe_path);

// Removes the shortcut when it starts a karuneo.exe, wherever that lives.
ShortcutChange RemoveSendToShortcut();

// Where the shortcut is, and what it starts (empty when it cannot be read).
std::wstring SendToShortcutPath();
std::wstring ShortcutTarget(const std::wstring& shortcut);

}  // namespace karuneo::win32
