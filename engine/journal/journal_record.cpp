#include "engine/journal/journal_record.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <initializer_list>
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

using Tokens = std::vector<std::string_view>;

Tokens Split(std::string_view line) {
    Tokens tokens;
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

std::string Number(std::uint64_t number) {
    return std::to_string(number);
}

std::string LookTokens(const FolderLook& look) {
    return std::to_string(look.mode) + ' ' + std::to_string(look.access_ns) + ' ' +
           std::to_string(look.modify_ns);
}

bool ReadLook(const Tokens& t, std::size_t first, FolderLook& look) {
    return t.size() >= first + 3 && ReadNumber(t[first], look.mode) &&
           ReadNumber(t[first + 1], look.access_ns) && ReadNumber(t[first + 2], look.modify_ns);
}

bool ReadKind(std::string_view token, EntryKind& kind) {
    if (token.size() != 1 || std::string_view("fdlo").find(token[0]) == std::string_view::npos) {
        return false;
    }
    kind = static_cast<EntryKind>(token[0]);
    return true;
}

// Only a plain name, which cannot reach outside the folder it is joined to,
// is ever taken from a journal.
bool ReadName(std::string_view token, std::string& name) {
    auto plain = UnescapeToken(token);
    if (!plain || !IsPlainName(*plain)) {
        return false;
    }
    name = std::move(*plain);
    return true;
}

bool ReadPath(std::string_view token, std::vector<std::string>& below) {
    auto names = PathFromToken(token);
    if (!names) {
        return false;
    }
    for (const auto& name : *names) {
        if (!IsPlainName(name)) {
            return false;
        }
    }
    below = std::move(*names);
    return true;
}

bool IsAbsolute(const std::string& path) {
#ifdef _WIN32
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    return drive || path.starts_with("\\\\");
#else
    return path.starts_with('/');
#endif
}

bool ReadRoot(const Tokens& t, JournalRun& run) {
    auto root = t.size() == 4 ? UnescapeToken(t[1]) : std::nullopt;
    if (!root || !IsAbsolute(*root) || root->find('\0') != std::string::npos) {
        return false;
    }
    run.root = std::move(*root);
    run.root_identity.kind = EntryKind::kFolder;
    return ReadNumber(t[2], run.root_identity.device) && ReadNumber(t[3], run.root_identity.id);
}

PlannedLevel* LevelAt(JournalRun& run, std::string_view token) {
    std::size_t depth = 0;
    if (!ReadNumber(token, depth) || depth >= run.chain.size()) {
        return nullptr;
    }
    return &run.chain[depth];
}

bool ReadLevel(const Tokens& t, JournalRun& run) {
    PlannedLevel* level = t.size() == 8 ? LevelAt(run, t[1]) : nullptr;
    if (level == nullptr) {
        return false;
    }
    level->identity = {run.root_identity.device, 0, EntryKind::kFolder};
    return ReadNumber(t[2], level->identity.id) && ReadLook(t, 3, level->look) &&
           ReadNumber(t[6], level->look.owner) && ReadNumber(t[7], level->look.group);
}

bool ReadAttribute(const Tokens& t, JournalRun& run) {
    PlannedLevel* level = t.size() == 4 ? LevelAt(run, t[1]) : nullptr;
    auto name = level != nullptr ? UnescapeToken(t[2]) : std::nullopt;
    auto value = name ? UnescapeToken(t[3]) : std::nullopt;
    if (!value || name->empty()) {
        return false;
    }
    level->look.attributes.push_back({std::move(*name), std::move(*value)});
    return true;
}

bool ReadChain(const Tokens& t, JournalRun& run) {
    std::vector<std::string> names;
    if (t.size() != 2 || !run.chain.empty() || !ReadPath(t[1], names)) {
        return false;
    }
    for (auto& name : names) {
        run.chain.push_back({std::move(name), {}, {}});
    }
    return true;
}

bool ReadEntry(const Tokens& t, JournalRun& run) {
    JournalEntry entry;
    const bool ok = t.size() == 4 && ReadNumber(t[1], entry.id) && ReadKind(t[2], entry.kind) &&
                    ReadName(t[3], entry.name);
    run.entries.push_back(std::move(entry));
    return ok;
}

bool ReadSettled(std::string_view token, JournalRun& run) {
    constexpr std::array<std::pair<std::string_view, ChainPlace>, 3> kPlaces{
        {{"own", ChainPlace::kOwnName},
         {"temp", ChainPlace::kTemporaryName},
         {"gone", ChainPlace::kGone}}};
    for (const auto& [word, place] : kPlaces) {
        if (token == word) {
            run.settled = place;
            return true;
        }
    }
    return false;
}

bool ReadMade(const Tokens& t, JournalRun& run) {
    MadeLevel made;
    made.identity.kind = EntryKind::kFolder;
    const bool ok = t.size() == 4 && ReadNumber(t[1], made.depth) &&
                    ReadNumber(t[2], made.identity.device) && ReadNumber(t[3], made.identity.id);
    run.made.push_back(made);
    return ok;
}

// Lines of the run's plan.
bool ReadPlanLine(const Tokens& t, JournalRun& run) {
    const std::string_view key = t[0];
    if (key == "root") {
        return ReadRoot(t, run);
    }
    if (key == "undo") {
        run.kind = JournalKind::kUndo;
        return t.size() == 2 && ReadName(t[1], run.undoes);
    }
    if (key == "hidden") {
        run.hidden.emplace_back();
        return t.size() == 2 && ReadName(t[1], run.hidden.back());
    }
    if (key == "chain") {
        return ReadChain(t, run);
    }
    if (key == "level") {
        return ReadLevel(t, run);
    }
    if (key == "xattr") {
        return ReadAttribute(t, run);
    }
    if (key == "e") {
        return ReadEntry(t, run);
    }
    if (key == "planned" && t.size() == 1) {
        return run.planned = true;
    }
    return false;
}

// Lines that tell what the run did.
bool ReadStepLine(const Tokens& t, JournalRun& run) {
    const std::string_view key = t[0];
    if (key == "temp") {
        run.temps.emplace_back();
        return t.size() == 2 && ReadName(t[1], run.temps.back());
    }
    if (key == "m") {
        run.moved.emplace_back();
        return t.size() == 2 && ReadName(t[1], run.moved.back());
    }
    if (key == "removed") {
        run.removed.emplace_back();
        return t.size() == 2 && ReadPath(t[1], run.removed.back());
    }
    if (key == "settled") {
        return t.size() == 2 && ReadSettled(t[1], run);
    }
    if (key == "made") {
        return ReadMade(t, run);
    }
    return false;
}

bool ReadEndLine(const Tokens& t, JournalRun& run) {
    if (t.size() != 1) {
        return false;
    }
    const std::string_view key = t[0];
    bool* mark = key == "close"           ? &run.closed
                 : key == "undone"        ? &run.undone
                 : key == "finished-anew" ? &run.finished_anew
                 : key == "told"          ? &run.told
                 : key == "forgotten"     ? &run.forgotten
                                          : nullptr;
    if (mark == nullptr) {
        return false;
    }
    *mark = true;
    run.closed = run.closed || run.finished_anew;
    return true;
}

// The first version's own lines: its header named the top and its look, and
// the deepest folder was named (under the top's temporary name) only when the
// entries were about to move.
bool ReadVersion1Line(const Tokens& t, JournalRun& run) {
    const std::string_view key = t[0];
    if (key == "top" && t.size() == 6 && run.chain.empty()) {
        PlannedLevel top;
        top.identity = {run.root_identity.device, 0, EntryKind::kFolder};
        const bool ok = ReadName(t[1], top.name) && ReadNumber(t[2], top.identity.id) &&
                        ReadLook(t, 3, top.look);
        run.chain.push_back(std::move(top));
        return ok;
    }
    if (key == "level" && t.size() == 5) {
        std::vector<std::string> below;
        FolderLook look;
        if (!ReadPath(t[1], below) || !ReadLook(t, 2, look)) {
            return false;
        }
        // The top was listed under its temporary name; its look is the header's.
        if (below.size() > 1) {
            run.chain.resize(std::max(run.chain.size(), below.size()));
            run.chain[below.size() - 1].name = below.back();
            run.chain[below.size() - 1].look = look;
        }
        return true;
    }
    if (key == "batch" && t.size() == 2) {
        std::vector<std::string> deepest;
        if (!ReadPath(t[1], deepest) || run.chain.empty()) {
            return false;
        }
        run.chain.resize(deepest.size());
        for (std::size_t i = 1; i < deepest.size(); ++i) {
            run.chain[i].name = deepest[i];
        }
        return run.planned = true;
    }
    return false;
}

bool ReadLine(std::string_view line, int version, JournalRun& run) {
    const Tokens tokens = Split(line);
    if (version == 1 && ReadVersion1Line(tokens, run)) {
        return true;
    }
    return ReadPlanLine(tokens, run) || ReadStepLine(tokens, run) || ReadEndLine(tokens, run);
}

}  // namespace

const std::string& JournalRun::top() const {
    static const std::string none;
    return chain.empty() ? none : chain.front().name;
}

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

std::string PlanLines(const FlattenPlan& plan, const std::string& absolute_root) {
    std::string lines = std::string(kFirstLine) + '\n';
    lines += "root " + EscapeToken(absolute_root) + ' ' + Number(plan.root_identity.device) + ' ' +
             Number(plan.root_identity.id) + '\n';
    for (const auto& name : plan.root_hidden) {
        lines += "hidden " + EscapeToken(name) + '\n';
    }
    lines += "chain " + PathToken(plan.Names(0, plan.chain.size())) + '\n';
    for (std::size_t depth = 0; depth < plan.chain.size(); ++depth) {
        const PlannedLevel& level = plan.chain[depth];
        lines += "level " + Number(depth) + ' ' + Number(level.identity.id) + ' ' +
                 LookTokens(level.look) + ' ' + Number(level.look.owner) + ' ' +
                 Number(level.look.group) + '\n';
        for (const auto& attribute : level.look.attributes) {
            lines += "xattr " + Number(depth) + ' ' + EscapeToken(attribute.name) + ' ' +
                     EscapeToken(attribute.value) + '\n';
        }
    }
    for (const auto& entry : plan.entries) {
        lines += "e " + Number(entry.id) + ' ' + static_cast<char>(entry.kind) + ' ' +
                 EscapeToken(entry.name) + '\n';
    }
    return lines + std::string(kPlannedLine);
}

std::string UndoLines(const std::string& undoes, const std::string& absolute_root,
                      const Identity& root_identity) {
    return std::string(kFirstLine) + "\nundo " + EscapeToken(undoes) + "\nroot " +
           EscapeToken(absolute_root) + ' ' + Number(root_identity.device) + ' ' +
           Number(root_identity.id) + '\n' + std::string(kPlannedLine);
}

std::string TempLine(std::string_view temp) {
    return "temp " + EscapeToken(temp) + '\n';
}

std::string MovedLine(std::string_view name) {
    return "m " + EscapeToken(name) + '\n';
}

std::string RemovedLine(const std::vector<std::string>& below) {
    return "removed " + PathToken(below) + '\n';
}

std::string SettledLine(ChainPlace place) {
    const char* word = place == ChainPlace::kOwnName         ? "own"
                       : place == ChainPlace::kTemporaryName ? "temp"
                                                             : "gone";
    return std::string("settled ") + word + '\n';
}

std::string MadeLine(const MadeLevel& made) {
    return "made " + Number(made.depth) + ' ' + Number(made.identity.device) + ' ' +
           Number(made.identity.id) + '\n';
}

bool EndsClosed(std::string_view tail) {
    for (const std::string_view last :
         {kCloseLine, kUndoneLine, kFinishedAnewLine, kToldLine, kForgottenLine}) {
        if (tail.ends_with(last)) {
            return true;
        }
    }
    return false;
}

void ReadEndMarks(std::string_view tail, JournalRun& run) {
    if (!tail.ends_with('\n')) {
        return;
    }
    tail.remove_suffix(1);
    for (auto cut = tail.rfind('\n'); cut != std::string_view::npos; cut = tail.rfind('\n')) {
        if (!ReadEndLine(Split(tail.substr(cut + 1)), run)) {
            return;
        }
        tail = tail.substr(0, cut);
    }
}

PartlyRead<JournalRun> ParseJournal(std::string_view text) {
    PartlyRead<JournalRun> run{JournalRun{}};
    int number = 0;
    int version = 0;
    for (auto end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        ++number;
        if (number == 1) {
            version = line == kFirstLine ? 2 : line == kFirstLineVersion1 ? 1 : 0;
            run.value().version = version;
        }
        if (version == 0 || (number > 1 && !ReadLine(line, version, run.value()))) {
            return {std::move(run.value()), {kUnexpected, number, {}}};
        }
    }
    // No whole line: killed before its plan was written, which comes before
    // any change; an empty run.
    return run;
}

}  // namespace karuneo::journal
