#pragma once

#include <string>
#include <utility>

#include "engine/reason/row_reason.h"

namespace karuneo::extract {

// Why an extraction cannot go on, as the row will tell it: the value every
// step of an extraction gives back instead of throwing.
struct [[nodiscard]] Refusal {
    ExtractProblem problem = ExtractProblem::kNone;
    std::string entry;   // the archive's entry concerned
    std::string detail;  // libarchive's words, or the bound passed
    int system_code = 0;

    Refusal() = default;
    Refusal(ExtractProblem why, std::string about, std::string words = {}, int code = 0)
        : problem(why), entry(std::move(about)), detail(std::move(words)), system_code(code) {}

    explicit operator bool() const { return problem != ExtractProblem::kNone; }
};

}  // namespace karuneo::extract
