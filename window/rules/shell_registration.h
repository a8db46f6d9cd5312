#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karuneo {

// What karuneo.exe was started to do, read from the arguments after its
// name. An option counts only on its own: Explorer always hands over full
// paths, so a folder never looks like one, and an option with more behind
// it is a typo that must not be taken for a folder.
// --help, -h and Windows' own /? ask for the usage.
enum class StartUpRequest { kWindow, kHelp, kVersion, kRegister, kUnregister, kMisused };
StartUpRequest ChooseStartUpRequest(const std::vector<std::string>& arguments);

// One string value below HKEY_CURRENT_USER; an empty name is the key's
// default value.
struct RegistryValue {
    std::string key;
    std::string name;
    std::string data;

    bool operator==(const RegistryValue&) const = default;
};

// The folder verb lives in the user's own classes, so registering needs no
// administrator and touches no other user.
inline constexpr std::string_view kVerbKey = R"(Software\Classes\Directory\shell\karuneo)";
inline constexpr std::string_view kVerbCommandKey =
    R"(Software\Classes\Directory\shell\karuneo\command)";
inline constexpr std::string_view kVerbLabel = "カルネオで展開";
inline constexpr std::string_view kSendToShortcut = "カルネオ.lnk";

// The command Explorer runs for each selected folder: both halves quoted,
// since either may hold spaces. Neither can end in a backslash (a program,
// and a folder that is not a drive's root), so the quotes always close.
std::string VerbCommandLine(std::string_view exe_path);

// Every value --register writes, in the order written; --unregister removes
// exactly these, then each key only when nothing else is left in it.
std::vector<RegistryValue> VerbValues(std::string_view exe_path);

// The keys --register may create, deepest first, as they must be removed.
std::vector<std::string> VerbKeysDeepestFirst();

// Whether a shortcut's target is a karuneo.exe, wherever it lives: a
// shortcut of an earlier copy may be replaced or removed, one that a user
// pointed elsewhere under the same name never is.
bool IsKaruneoProgram(std::string_view target_path);

}  // namespace karuneo
