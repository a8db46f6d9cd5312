// The reasons of rows that the journal of runs gives: a run that could not be
// journaled, one that was cut off and finished, one undone or not.
#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/reason/row_reason.h"
#include "results/rules/phrases.h"
#include "results/rules/reason_parts.h"

namespace karuneo::reason_parts {
namespace {

std::string ObstacleText(const Wording& words, const JournalReason& reason) {
    const JournalPhrases& phrases = words.journal;
    const bool bare = reason.obstacle == Obstacle::kJournalDamaged ||
                      reason.obstacle == Obstacle::kJournalUnreadable;
    const std::string entry = bare ? reason.entry : Quoted(words, reason.entry);
    std::string text =
        Fill(phrases.obstacles.at(static_cast<std::size_t>(reason.obstacle)), {entry});
    if (reason.others > 0) {
        text += Fill(phrases.others, {std::to_string(reason.others)});
    }
    return text;
}

// A reason names a few entries and counts the rest, so that a folder of
// thousands gives a line, not a page.
std::string StayedText(const Wording& words, const JournalReason& reason) {
    std::string names;
    for (const auto& name : reason.stayed) {
        if (!names.empty()) {
            names += words.list_comma;
        }
        names += Quoted(words, name);
    }
    const long long total =
        std::max(reason.stayed_count, static_cast<long long>(reason.stayed.size()));
    const long long left_out = total - static_cast<long long>(reason.stayed.size());
    if (left_out > 0) {
        names += words.list_comma;
        names += Fill(words.journal.more_names, {std::to_string(left_out)});
    }
    return Fill(words.journal.stayed, {std::to_string(total), names});
}

std::string NotRestoredText(const Wording& words, const JournalReason& reason) {
    std::string parts;
    for (const auto& part : reason.not_restored) {
        if (!parts.empty()) {
            parts += words.list_comma;
        }
        parts += part;
    }
    return parts.empty() ? parts : Fill(words.journal.not_restored, {parts});
}

std::string WalkText(const Wording& words, const JournalReason& reason,
                     std::string_view folder_name) {
    return reason.walk ? ReasonText(words, reason.walk->reason, folder_name) : std::string();
}

// Two sentences, either of which may be missing.
std::string Joined(const Wording& words, const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) {
        return first + second;
    }
    return first + std::string(words.journal.between) + second;
}

std::string FailureText(const Wording& words, const JournalReason& reason,
                        std::string_view folder_name) {
    if (!reason.failure) {
        return {};
    }
    return AttemptAndCause(words, *reason.failure, folder_name);
}

}  // namespace

std::string JournalText(const Wording& words, const JournalReason& reason,
                        std::string_view folder_name) {
    const JournalPhrases& phrases = words.journal;
    const std::string walk = WalkText(words, reason, folder_name);
    switch (reason.event) {
        case JournalEvent::kNotJournaled: {
            const std::string why =
                reason.failure ? CauseText(words, *reason.failure) : std::string();
            return Joined(words, walk, Fill(phrases.not_journaled, {why}));
        }
        case JournalEvent::kFinished:
            return Joined(words, std::string(phrases.finished), walk);
        case JournalEvent::kNotFinished:
            if (reason.obstacle == Obstacle::kNone) {
                return Joined(words, std::string(phrases.finish_failed), walk);
            }
            return Fill(phrases.not_finished, {ObstacleText(words, reason)});
        case JournalEvent::kUndone:
        case JournalEvent::kUndoFinished: {
            const std::string done(reason.event == JournalEvent::kUndone ? phrases.undone
                                                                         : phrases.undo_finished);
            const std::string stayed =
                reason.stayed.empty() ? std::string() : StayedText(words, reason);
            return Joined(words, Joined(words, done, stayed), NotRestoredText(words, reason));
        }
        case JournalEvent::kNotUndone:
            return Fill(phrases.not_undone, {ObstacleText(words, reason)});
        case JournalEvent::kUndoStopped:
            return Fill(phrases.undo_stopped, {FailureText(words, reason, folder_name)});
        case JournalEvent::kLeftStopped:
            return Fill(phrases.left_stopped,
                        {std::to_string(reason.moved), std::to_string(reason.planned)});
    }
    return walk;
}

}  // namespace karuneo::reason_parts
