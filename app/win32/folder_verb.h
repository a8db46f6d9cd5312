#pragma once

#include <string>

namespace karuneo::win32 {

// What a change to the user's registry came to; `error` is the system's
// message when it failed.
struct RegistryChange {
    enum class Result { kDone, kNothingThere, kKeptOthers, kFailed } result;
    std::string error;
};

// Writes the folder verb カルネオで展開 for the current user, starting
// `exe_path` (UTF-8) on each selected folder.
RegistryChange WriteFolderVerb(const std::string& exe_path);

// Removes the values WriteFolderVerb writes, then each of its keys that
// holds nothing else; kKeptOthers when something another program put there
// kept a key.
RegistryChange RemoveFolderVerb();

}  // namespace karuneo::win32
