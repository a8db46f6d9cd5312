#include "window/rules/shell_registration.h"

#include <algorithm>
#include <cctype>

namespace karuneo {

StartUpRequest ChooseStartUpRequest(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return StartUpRequest::kWindow;
    }
    const std::string& first = arguments.front();
    StartUpRequest request = StartUpRequest::kWindow;
    if (first == "--help" || first == "-h" || first == "/?") {
        request = StartUpRequest::kHelp;
    } else if (first == "--version") {
        request = StartUpRequest::kVersion;
    } else if (first == "--register") {
        request = StartUpRequest::kRegister;
    } else if (first == "--unregister") {
        request = StartUpRequest::kUnregister;
    }
    if (request != StartUpRequest::kWindow && arguments.size() > 1) {
        return StartUpRequest::kMisused;
    }
    return request;
}

// Appended piece by piece: g++ 12 at -O2 warns of an overlap that is not
// there in "\"" + std::string(...).
std::string VerbCommandLine(std::string_view exe_path) {
    std::string command;
    command.reserve(exe_path.size() + 7);
    command.append("\"").append(exe_path).append("\" \"%1\"");
    return command;
}

std::vector<RegistryValue> VerbValues(std::string_view exe_path) {
    const std::string verb(kVerbKey);
    return {
        {verb, "", std::string(kVerbLabel)},
        {verb, "Icon", std::string(exe_path) + ",0"},
        // Player: the item is offered for a selection of any size (up to
        // 100 for a command-line verb), and each folder's process hands it
        // to the one window.
        {verb, "MultiSelectModel", "Player"},
        {std::string(kVerbCommandKey), "", VerbCommandLine(exe_path)},
    };
}

std::vector<std::string> VerbKeysDeepestFirst() {
    return {std::string(kVerbCommandKey), std::string(kVerbKey)};
}

bool IsKaruneoProgram(std::string_view target_path) {
    const auto slash = target_path.find_last_of("\\/");
    std::string name(slash == std::string_view::npos ? target_path : target_path.substr(slash + 1));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name == "karuneo.exe";
}

}  // namespace karuneo
