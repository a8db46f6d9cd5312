#include "engine/extract/extract_journal.h"

#include <charconv>
#include <cstddef>
#include <map>
#include <optional>
#include <system_error>
#include <utility>

#include "engine/journal/journal_file.h"
#include "engine/journal/journal_record.h"

namespace karuneo::extract {
namespace {

using journal::EscapeToken;
using journal::UnescapeToken;

std::vector<std::string_view> Tokens(std::string_view line) {
    std::vector<std::string_view> tokens;
    for (auto space = line.find(' ');; space = line.find(' ')) {
        tokens.push_back(line.substr(0, space));
        if (space == std::string_view::npos) {
            return tokens;
        }
        line.remove_prefix(space + 1);
    }
}

template <typename Number>
bool ReadNumber(std::string_view token, Number& number) {
    const auto read = std::from_chars(token.data(), token.data() + token.size(), number);
    return read.ec == std::errc() && read.ptr == token.data() + token.size();
}

bool ReadKind(std::string_view token, EntryKind& kind) {
    if (token.size() != 1 || std::string_view("fdlo").find(token[0]) == std::string_view::npos) {
        return false;
    }
    kind = static_cast<EntryKind>(token[0]);
    return true;
}

bool ReadText(std::string_view token, std::string& text) {
    auto read = UnescapeToken(token);
    if (read) {
        text = std::move(*read);
    }
    return read.has_value();
}

bool ReadLine(const std::vector<std::string_view>& tokens, ExtractJournal& run) {
    const std::string_view key = tokens[0];
    const std::size_t count = tokens.size();
    if (key == "archive" && count == 2) {
        return ReadText(tokens[1], run.archive);
    }
    if (key == "into" && count == 3) {
        return ReadText(tokens[1], run.parent) && ReadText(tokens[2], run.temp);
    }
    if (key == "made" && count == 3) {
        run.made = true;
        run.top.kind = EntryKind::kFolder;
        return ReadNumber(tokens[1], run.top.device) && ReadNumber(tokens[2], run.top.id);
    }
    if (key == "entry" && count == 6) {
        RecordedEntry entry;
        const auto path = journal::PathFromToken(tokens[1]);
        if (!path) {
            return false;
        }
        for (const auto& name : *path) {
            entry.path += (entry.path.empty() ? "" : "/") + name;
        }
        run.entries.push_back(entry);
        auto& last = run.entries.back();
        return ReadKind(tokens[2], last.kind) && ReadNumber(tokens[3], last.id) &&
               ReadNumber(tokens[4], last.size) && ReadNumber(tokens[5], last.mtime_ns);
    }
    if (key == "named" && count == 2) {
        return ReadText(tokens[1], run.named);
    }
    if (key == "close" && count == 1) {
        run.closed = true;
        return true;
    }
    if (key == "undone" && count == 1) {
        run.undone = true;
        return true;
    }
    return false;
}

std::vector<std::string> Names(const std::string& path) {
    std::vector<std::string> names;
    for (std::size_t at = 0;;) {
        const auto slash = path.find('/', at);
        names.push_back(path.substr(at, slash - at));
        if (slash == std::string::npos) {
            return names;
        }
        at = slash + 1;
    }
}

}  // namespace

std::string ExtractJournalFolder(const std::string& journal_folder) {
    return journal_folder.empty() ? std::string()
                                  : journal_folder + journal::native::Separator() + "extractions";
}

std::string HeadLines(const std::string& archive, const std::string& parent,
                      const std::string& temp) {
    return std::string(kExtractFirstLine) + "\narchive " + EscapeToken(archive) + "\ninto " +
           EscapeToken(parent) + ' ' + EscapeToken(temp) + '\n';
}

std::string MadeLine(const Identity& top) {
    return "made " + std::to_string(top.device) + ' ' + std::to_string(top.id) + '\n';
}

std::string EntryLine(const RecordedEntry& entry) {
    return "entry " + journal::PathToken(Names(entry.path)) + ' ' + static_cast<char>(entry.kind) +
           ' ' + std::to_string(entry.id) + ' ' + std::to_string(entry.size) + ' ' +
           std::to_string(entry.mtime_ns) + '\n';
}

std::string NamedLine(const std::string& name) {
    return "named " + EscapeToken(name) + '\n';
}

Result<ExtractJournal> ParseExtractJournal(std::string_view text) {
    ExtractJournal run;
    int number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos) {
            break;  // torn by a kill: never written
        }
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        ++number;
        const bool ok = number == 1 ? line == kExtractFirstLine : ReadLine(Tokens(line), run);
        if (!ok) {
            return Failure(kUnexpected, number, {});
        }
    }
    if (number == 0) {
        return Failure(kUnexpected, 1, {});
    }
    return run;
}

std::optional<std::string> FirstDifference(const std::vector<RecordedEntry>& now,
                                           const std::vector<RecordedEntry>& recorded) {
    std::map<std::string, const RecordedEntry*> expected;
    for (const auto& entry : recorded) {
        expected[entry.path] = &entry;
    }
    for (const auto& entry : now) {
        const auto found = expected.find(entry.path);
        if (found == expected.end() || !(*found->second == entry)) {
            return entry.path;
        }
        expected.erase(found);
    }
    if (!expected.empty()) {
        return expected.begin()->first;
    }
    return std::nullopt;
}

}  // namespace karuneo::extract
