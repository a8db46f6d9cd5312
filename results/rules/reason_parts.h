#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/reason/row_reason.h"
#include "results/rules/phrases.h"
#include "results/rules/reason_text.h"

// The pieces the reasons of the walk and those of the journal are made of.
namespace karuneo::reason_parts {

struct Wording : Phrases {
    NameShown shown;
};

// The pattern with each "{}" replaced by the next of `values`.
std::string Fill(std::string_view pattern, std::initializer_list<std::string> values);
// A path below the dropped folder in quotes, each name shown as the wording shows names.
std::string Quoted(const Wording& words, std::string_view path);
// What was attempted and why it failed, without where the chain stands.
std::string AttemptAndCause(const Wording& words, const ErrorReason& reason,
                            std::string_view folder_name);
std::string CauseText(const Wording& words, const ErrorReason& reason);
std::string ReasonText(const Wording& words, const RowReason& reason, std::string_view folder_name);

std::string ExtractText(const Wording& words, const ExtractReason& reason,
                        std::string_view folder_name);

std::string JournalText(const Wording& words, const JournalReason& reason,
                        std::string_view folder_name);

}  // namespace karuneo::reason_parts
