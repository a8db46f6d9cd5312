#pragma once

#include <array>
#include <string_view>

namespace karuneo {

// The wording of what the journal of runs adds to a row, in one language.
// "{}" stands for what is put in, in order.
struct JournalPhrases {
    std::string_view not_journaled;  // {} why the journal could not be written
    std::string_view finished;
    std::string_view not_finished;   // {} the obstacle
    std::string_view finish_failed;  // the walk's reason follows
    std::string_view undone;
    std::string_view stayed;        // {} how many, {} their names
    std::string_view not_undone;    // {} the obstacle
    std::string_view undo_stopped;  // {} the failed step
    std::string_view others;        // {} how many more obstacles
    std::string_view between;       // between two sentences

    // Indexed by Obstacle; {} the entry it concerns.
    std::array<std::string_view, 13> obstacles;
};

extern const JournalPhrases kJournalJapanese;
extern const JournalPhrases kJournalEnglish;

}  // namespace karuneo
