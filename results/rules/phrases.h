#pragma once

#include <array>
#include <string_view>

#include "engine/system_code.h"

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
    std::string_view undo_finished;
    std::string_view left_stopped;  // {} moved, {} planned
    std::string_view not_restored;  // {} what could not be given back
    std::string_view more_names;    // {} how many names a list left out

    // Indexed by Obstacle; {} the entry it concerns.
    std::array<std::string_view, 17> obstacles;
};

// The wording of the reasons in one language. "{}" stands for what is put
// in, in order: names already quoted, or a number.
struct Phrases {
    std::string_view open_quote;
    std::string_view close_quote;
    MessageLanguage system_messages;
    std::string_view after_attempt;  // between what was attempted and why
    std::string_view after_cause;    // between why and what became of the chain

    // Indexed by Attempt.
    std::array<std::string_view, 5> attempts;

    std::string_view clash_in_dropped_folder;  // {} the name taken
    std::string_view clash_new_name;
    std::string_view clash_not_empty;
    std::string_view clash_other;
    std::string_view no_permission;
    std::string_view other_drive;
    std::string_view another_run;
    std::string_view still_in_use;  // by another program, after every retry
    std::string_view no_safe_move;
    std::string_view link;
    std::string_view too_deep;  // {} the depth
    std::string_view name_too_long;
    std::string_view bad_name;          // a name Windows cannot hold
    std::string_view bad_name_holding;  // {} the name, {} the characters it may not hold
    std::string_view stopped;           // {} the entry the work stopped before

    // Failures that came without a system message.
    std::string_view out_of_memory;
    std::string_view io_error;
    std::string_view disk_full;
    std::string_view not_found;
    std::string_view unexpected;
    std::string_view error_number;  // {} the number

    // Indexed by ChainPlace; {} the chain's top as it is named now.
    std::array<std::string_view, 5> chain;

    // Indexed by NotNested; {} the number of entries.
    std::array<std::string_view, 5> not_nested;
    // The same when the entries are named: {} the number, {} the names.
    std::array<std::string_view, 5> not_nested_named;
    std::string_view list_comma;  // between two names of a list
    std::string_view list_and;    // before its last name

    std::string_view kept;            // {} the folder that stayed
    std::string_view kept_temporary;  // {} that folder, {} the chain's own name

    JournalPhrases journal;
};

extern const Phrases kJapanese;
extern const Phrases kEnglish;

}  // namespace karuneo
