#include "tests/app/operation_replay.h"

#include <optional>
#include <sstream>
#include <vector>

#include "engine/entry_path.h"
#include "engine/native_file_system.h"
#include "engine/path_separator.h"

namespace karuneo::testing {
namespace {

// Reads back one token as TerminalToken wrote it, and the space after it.
std::optional<std::string> NextToken(std::string_view& line) {
    std::string token;
    if (line.empty() || line.front() != '"') {
        const auto end = std::min(line.find(' '), line.size());
        token = line.substr(0, end);
        line.remove_prefix(std::min(end + 1, line.size()));
        return token;
    }
    std::size_t at = 1;
    for (; at < line.size() && line[at] != '"'; ++at) {
        if (line[at] != '\\') {
            token += line[at];
        } else if (line.substr(at, 2) == "\\x") {
            token += static_cast<char>(std::stoi(std::string(line.substr(at + 2, 2)), nullptr, 16));
            at += 3;
        } else if (line.substr(at, 3) == "\\u{") {
            return std::nullopt;  // never in these trees' names
        } else {
            token += line[++at];
        }
    }
    if (at >= line.size()) {
        return std::nullopt;
    }
    line.remove_prefix(std::min(at + 2, line.size()));
    return token;
}

EntryPath Below(const std::string& root, const std::string& relative) {
    EntryPath path(root);
    std::istringstream names(relative);
    for (std::string name; std::getline(names, name, kPathSeparator);) {
        path = path.Child(name);
    }
    return path;
}

class Replayer {
  public:
    Replayer(std::string printed_under, std::string replay_under)
        : printed_under_(std::move(printed_under)), replay_under_(std::move(replay_under)) {}

    // Empty when the line was carried out.
    std::string Line(std::string_view line) {
        const auto tokens = Tokens(line);
        if (tokens.size() == 2 && tokens[0] == "in" && tokens[1].starts_with(printed_under_)) {
            root_ = replay_under_ + tokens[1].substr(printed_under_.size());
            return "";
        }
        Failure error(kBadFileName);
        if (tokens.size() == 4 && tokens[0] == "rename" && tokens[2] == "->") {
            error = fs_->RenameFolder(Below(root_, tokens[1]), tokens[3]);
        } else if (tokens.size() == 5 && tokens[1] == "back" && tokens[3] == "->") {
            error = fs_->RenameFolder(Below(root_, tokens[2]), tokens[4]);
        } else if (tokens.size() == 4 && tokens[0] == "move" && tokens[2] == "->") {
            const EntryPath from = Below(root_, tokens[1]);
            const std::string name = from.LastName();
            error = fs_->MoveEntries(from.Parent(), {&name, 1}, Below(root_, tokens[3]).Parent());
        } else if (tokens.size() == 2 && tokens[0] == "remove") {
            error = fs_->RemoveEmptyFolder(Below(root_, tokens[1]));
        }
        return error ? std::string(line) + ": error " + std::to_string(error.number) : "";
    }

  private:
    static std::vector<std::string> Tokens(std::string_view line) {
        std::vector<std::string> tokens;
        while (!line.empty()) {
            const auto token = NextToken(line);
            if (!token) {
                return {};
            }
            tokens.push_back(*token);
        }
        return tokens;
    }

    std::string printed_under_;
    std::string replay_under_;
    std::string root_;
    std::unique_ptr<FileSystem> fs_ = MakeNativeFileSystem();
};

}  // namespace

std::string Replay(const std::string& operations, const std::string& printed_under,
                   const std::string& replay_under) {
    Replayer replayer(printed_under, replay_under);
    std::istringstream lines(operations);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("karuneo-cli: ")) {
            continue;  // a row's reason, not a change
        }
        if (auto error = replayer.Line(line); !error.empty()) {
            return error;
        }
    }
    return "";
}

}  // namespace karuneo::testing
