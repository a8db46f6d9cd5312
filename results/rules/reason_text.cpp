#include "results/rules/reason_text.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "engine/display_text.h"
#include "engine/error_number.h"
#include "engine/nest_limit.h"
#include "engine/path_separator.h"
#include "engine/reason/cause.h"
#include "engine/system_code.h"
#include "results/rules/phrases.h"
#include "results/rules/reason_parts.h"
#include "results/rules/windows_names.h"

namespace karuneo {
namespace reason_parts {

std::string Fill(std::string_view pattern, std::initializer_list<std::string> values) {
    std::string filled;
    auto value = values.begin();
    for (auto hole = pattern.find("{}"); hole != std::string_view::npos && value != values.end();
         hole = pattern.find("{}"), ++value) {
        filled.append(pattern.substr(0, hole)).append(*value);
        pattern.remove_prefix(hole + 2);
    }
    return filled.append(pattern);
}

std::string Quoted(const Wording& words, std::string_view path) {
    std::string quoted(words.open_quote);
    for (auto cut = path.find(kPathSeparator);; cut = path.find(kPathSeparator)) {
        quoted += words.shown(path.substr(0, cut));
        if (cut == std::string_view::npos) {
            break;
        }
        quoted += kPathSeparator;
        path.remove_prefix(cut + 1);
    }
    return quoted + std::string(words.close_quote);
}

namespace {

std::string_view LastName(std::string_view entry) {
    const auto cut = entry.rfind(kPathSeparator);
    return cut == std::string_view::npos ? entry : entry.substr(cut + 1);
}

std::string_view WithoutSystemMessage(const Wording& words, ErrorNumber number) {
    switch (number) {
        case kOutOfMemory:
            return words.out_of_memory;
        case kDeviceIoError:
            return words.io_error;
        case kDiskFull:
            return words.disk_full;
        case kFileNotFound:
        case kPathNotFound:
            return words.not_found;
        case kBadFileName:
            return words.bad_name;
        case kUnexpected:
            return words.unexpected;
        default:
            return words.error_number;
    }
}

// A name in quotes as one name: a separator inside it is part of it.
std::string QuotedWhole(const Wording& words, std::string_view name) {
    return std::string(words.open_quote) + words.shown(name) + std::string(words.close_quote);
}

// The name named whole and the characters in it that Windows refuses, so
// that a name holding a backslash is never read as a path.
std::string BadNameText(const Wording& words, const ErrorReason& reason) {
    const std::string name =
        reason.name.empty() ? std::string(LastName(reason.entry)) : reason.name;
    const std::vector<std::string> refused = CharactersWindowsRefuses(name);
    if (refused.empty()) {
        return std::string(words.bad_name);
    }
    std::string characters;
    for (std::size_t at = 0; at < refused.size(); ++at) {
        if (at > 0) {
            characters += at + 1 == refused.size() ? words.list_and : words.list_comma;
        }
        characters += QuotedWhole(words, refused[at]);
    }
    return Fill(words.bad_name_holding, {QuotedWhole(words, name), characters});
}

std::string SystemCauseText(const Wording& words, const ErrorReason& reason) {
    const std::string message = SystemMessage(reason.system_code, words.system_messages);
    if (!message.empty()) {
        return ToDisplayText(message);
    }
    return Fill(WithoutSystemMessage(words, reason.number), {std::to_string(reason.number)});
}

std::string ClashText(const Wording& words, const ErrorReason& reason) {
    switch (reason.attempt) {
        case Attempt::kMove:
            return Fill(words.clash_in_dropped_folder, {Quoted(words, LastName(reason.entry))});
        case Attempt::kRename:
            return std::string(words.clash_new_name);
        case Attempt::kRemove:
            return std::string(words.clash_not_empty);
        default:
            return std::string(words.clash_other);
    }
}

}  // namespace

std::string CauseText(const Wording& words, const ErrorReason& reason) {
    switch (reason.cause) {
        case Cause::kAlreadyExists:
            return ClashText(words, reason);
        case Cause::kNoPermission:
            return std::string(words.no_permission);
        case Cause::kOtherDrive:
            return std::string(words.other_drive);
        case Cause::kNoMoveWithoutRisk:
            return std::string(words.no_safe_move);
        case Cause::kHeldByAnotherRun:
            return std::string(words.another_run);
        case Cause::kStillInUse:
            return std::string(words.still_in_use);
        case Cause::kLink:
            return std::string(words.link);
        case Cause::kTooDeep:
            return Fill(words.too_deep, {std::to_string(kMaxNestLevel)});
        case Cause::kNameTooLong:
            return std::string(words.name_too_long);
        case Cause::kNameNotAllowed:
            return BadNameText(words, reason);
        case Cause::kStoppedByUser:
            break;  // worded whole by ErrorText
        case Cause::kSystem:
            break;
    }
    return SystemCauseText(words, reason);
}

std::string AttemptAndCause(const Wording& words, const ErrorReason& reason,
                            std::string_view folder_name) {
    const std::string subject = Quoted(words, reason.entry.empty() ? folder_name : reason.entry);
    std::string text;
    if (reason.cause == Cause::kStoppedByUser) {
        return Fill(words.stopped, {subject});  // nothing failed: only where the work stood
    }
    if (reason.cause != Cause::kTooDeep) {
        text = Fill(words.attempts.at(static_cast<std::size_t>(reason.attempt)), {subject}) +
               std::string(words.after_attempt);
    }
    return text + CauseText(words, reason);
}

namespace {

std::string ErrorText(const Wording& words, const ErrorReason& reason,
                      std::string_view folder_name) {
    const std::string text = AttemptAndCause(words, reason, folder_name);
    return text + std::string(words.after_cause) +
           Fill(words.chain.at(static_cast<std::size_t>(reason.chain)),
                {Quoted(words, reason.chain_name)});
}

// "A", "B" and "C", each quoted.
std::string NameList(const Wording& words, const std::vector<std::string>& names) {
    std::string list;
    for (std::size_t at = 0; at < names.size(); ++at) {
        if (at > 0) {
            list += at + 1 == names.size() ? words.list_and : words.list_comma;
        }
        list += Quoted(words, names[at]);
    }
    return list;
}

std::string UntouchedText(const Wording& words, const UntouchedReason& reason) {
    const auto why = static_cast<std::size_t>(reason.why);
    if (reason.names.empty()) {
        return Fill(words.not_nested.at(why), {std::to_string(reason.entries)});
    }
    const std::string names = NameList(words, reason.names);
    if (reason.why == NotNested::kEntries) {
        return Fill(words.not_nested_named.at(why), {std::to_string(reason.entries), names});
    }
    return Fill(words.not_nested_named.at(why), {names});
}

std::string KeptText(const Wording& words, const KeptChainReason& reason) {
    if (reason.chain == ChainPlace::kTemporaryName) {
        return Fill(words.kept_temporary,
                    {Quoted(words, reason.folder), Quoted(words, reason.own_name)});
    }
    return Fill(words.kept, {Quoted(words, reason.folder)});
}

}  // namespace

std::string ReasonText(const Wording& words, const RowReason& reason,
                       std::string_view folder_name) {
    if (const auto* error = std::get_if<ErrorReason>(&reason)) {
        return ErrorText(words, *error, folder_name);
    }
    if (const auto* untouched = std::get_if<UntouchedReason>(&reason)) {
        return UntouchedText(words, *untouched);
    }
    if (const auto* kept = std::get_if<KeptChainReason>(&reason)) {
        return KeptText(words, *kept);
    }
    if (const auto* journal = std::get_if<JournalReason>(&reason)) {
        return JournalText(words, *journal, folder_name);
    }
    if (const auto* extract = std::get_if<ExtractReason>(&reason)) {
        return ExtractText(words, *extract, folder_name);
    }
    return {};
}

}  // namespace reason_parts

using reason_parts::ReasonText;
using reason_parts::Wording;

std::string ReasonInJapanese(const RowReason& reason, std::string_view folder_name,
                             NameShown shown) {
    return ReasonText(Wording{kJapanese, shown}, reason, folder_name);
}

std::string ReasonInEnglish(const RowReason& reason, std::string_view folder_name,
                            NameShown shown) {
    return ReasonText(Wording{kEnglish, shown}, reason, folder_name);
}

}  // namespace karuneo
