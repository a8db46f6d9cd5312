#include "engine/journal/journal_record.h"

#include <charconv>
#include <cstddef>
#include <memory>
#include <system_error>
#include <utility>

namespace karuneo::journal {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool NeedsEscape(unsigned char byte) {
    return byte <= ' ' || byte > '~' || byte == '%' || byte == '/';
}

int HexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1;
}

std::vector<std::string_view> Split(std::string_view line) {
    std::vector<std::string_view> tokens;
    for (std::size_t space = line.find(' '); space != std::string_view::npos;
         space = line.find(' ')) {
        tokens.push_back(line.substr(0, space));
        line.remove_prefix(space + 1);
    }
    tokens.push_back(line);
    return tokens;
}

template <typename Number>
bool ReadNumber(std::string_view token, Number& number) {
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), number);
    return error == std::errc() && end == token.data() + token.size();
}

std::string LookTokens(const FolderLook& look) {
    return std::to_string(look.mode) + ' ' + std::to_string(look.access_ns) + ' ' +
           std::to_string(look.modify_ns);
}

bool ReadLook(const std::vector<std::string_view>& tokens, std::size_t first, FolderLook& look) {
    return tokens.size() == first + 3 && ReadNumber(tokens[first], look.mode) &&
           ReadNumber(tokens[first + 1], look.access_ns) &&
           ReadNumber(tokens[first + 2], look.modify_ns);
}

bool ReadKind(std::string_view token, EntryKind& kind) {
    if (token.size() != 1 || std::string_view("fdlo").find(token[0]) == std::string_view::npos) {
        return false;
    }
    kind = static_cast<EntryKind>(token[0]);
    return true;
}

bool ReadName(std::string_view token, std::string& name) {
    auto plain = UnescapeToken(token);
    if (plain) {
        name = std::move(*plain);
    }
    return plain.has_value();
}

bool ReadPath(std::string_view token, std::vector<std::string>& below) {
    auto names = PathFromToken(token);
    if (names) {
        below = std::move(*names);
    }
    return names.has_value();
}

// Lines that name the run's outline.
bool ReadOutlineLine(const std::vector<std::string_view>& t, JournalRun& run) {
    const std::string_view key = t[0];
    if (key == "root") {
        return t.size() == 4 && ReadName(t[1], run.root) &&
               ReadNumber(t[2], run.root_identity.device) && ReadNumber(t[3], run.root_identity.id);
    }
    if (key == "hidden") {
        run.hidden.emplace_back();
        return t.size() == 2 && ReadName(t[1], run.hidden.back());
    }
    if (key == "top") {
        return t.size() == 6 && ReadName(t[1], run.top) && ReadNumber(t[2], run.top_id) &&
               ReadLook(t, 3, run.top_look);
    }
    if (key == "temp") {
        return t.size() == 2 && ReadName(t[1], run.temp);
    }
    if (key == "level") {
        run.levels.emplace_back();
        return t.size() == 5 && ReadPath(t[1], run.levels.back().below) &&
               ReadLook(t, 2, run.levels.back().look);
    }
    return false;
}

// Lines that tell what the run did.
bool ReadStepLine(const std::vector<std::string_view>& t, JournalRun& run) {
    const std::string_view key = t[0];
    if (key == "batch") {
        return t.size() == 2 && ReadPath(t[1], run.deepest);
    }
    if (key == "e") {
        JournalEntry entry;
        const bool ok = t.size() == 4 && ReadNumber(t[1], entry.id) && ReadKind(t[2], entry.kind) &&
                        ReadName(t[3], entry.name);
        run.entries.push_back(std::move(entry));
        return ok;
    }
    if (key == "m") {
        run.moved.emplace_back();
        return t.size() == 2 && ReadName(t[1], run.moved.back());
    }
    if (key == "removed") {
        run.removed.emplace_back();
        return t.size() == 2 && ReadPath(t[1], run.removed.back());
    }
    const bool bare = t.size() == 1;
    if (bare && key == "close") {
        return run.closed = true;
    }
    if (bare && key == "undone") {
        return run.undone = true;
    }
    if (bare && key == "finished-anew") {
        return run.finished_anew = run.closed = true;
    }
    return false;
}

}  // namespace

std::string EscapeToken(std::string_view bytes) {
    std::string token;
    token.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (NeedsEscape(byte)) {
            token += '%';
            token += kHex[byte >> 4];
            token += kHex[byte & 15];
        } else {
            token += c;
        }
    }
    return token;
}

std::optional<std::string> UnescapeToken(std::string_view token) {
    std::string bytes;
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (token[i] != '%') {
            if (NeedsEscape(static_cast<unsigned char>(token[i]))) {
                return std::nullopt;
            }
            bytes += token[i];
            continue;
        }
        const int high = i + 2 < token.size() ? HexValue(token[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(token[i + 2]) : -1;
        if (low < 0) {
            return std::nullopt;
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

std::string PathToken(const std::vector<std::string>& names) {
    std::string token;
    for (const auto& name : names) {
        if (!token.empty()) {
            token += '/';
        }
        token += EscapeToken(name);
    }
    return token;
}

std::optional<std::vector<std::string>> PathFromToken(std::string_view token) {
    std::vector<std::string> names;
    for (;;) {
        const auto cut = token.find('/');
        auto name = UnescapeToken(token.substr(0, cut));
        if (!name || name->empty()) {
            return std::nullopt;
        }
        names.push_back(std::move(*name));
        if (cut == std::string_view::npos) {
            return names;
        }
        token.remove_prefix(cut + 1);
    }
}

std::string HeaderLines(const JournalRun& run) {
    std::string lines = std::string(kFirstLine) + '\n';
    lines += "root " + EscapeToken(run.root) + ' ' + std::to_string(run.root_identity.device) +
             ' ' + std::to_string(run.root_identity.id) + '\n';
    for (const auto& name : run.hidden) {
        lines += "hidden " + EscapeToken(name) + '\n';
    }
    lines += "top " + EscapeToken(run.top) + ' ' + std::to_string(run.top_id) + ' ' +
             LookTokens(run.top_look) + '\n';
    return lines + TempLine(run.temp);
}

std::string TempLine(std::string_view temp) {
    return "temp " + EscapeToken(temp) + '\n';
}

std::string LevelLine(const ChainLevel& level) {
    return "level " + PathToken(level.below) + ' ' + LookTokens(level.look) + '\n';
}

std::string BatchLine(const std::vector<std::string>& deepest) {
    return "batch " + PathToken(deepest) + '\n';
}

std::string EntryLine(const JournalEntry& entry) {
    return "e " + std::to_string(entry.id) + ' ' + static_cast<char>(entry.kind) + ' ' +
           EscapeToken(entry.name) + '\n';
}

std::string MovedLine(std::string_view name) {
    return "m " + EscapeToken(name) + '\n';
}

std::string RemovedLine(const std::vector<std::string>& below) {
    return "removed " + PathToken(below) + '\n';
}

Result<JournalRun> ParseJournal(std::string_view text) {
    Result<JournalRun> run;
    int number = 0;
    for (auto end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        ++number;
        const bool ok = number == 1 ? line == kFirstLine : [&] {
            const auto tokens = Split(line);
            return ReadOutlineLine(tokens, run.value) || ReadStepLine(tokens, run.value);
        }();
        if (!ok) {
            return {std::move(run.value), {kUnexpected, number, {}}};
        }
    }
    // No whole line: killed before its header was written, which comes
    // before any change; an empty run.
    return run;
}

}  // namespace karuneo::journal
