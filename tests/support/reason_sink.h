#pragma once

#include <string>
#include <vector>

#include "engine/result_sink.h"
#include "results/rules/reason_text.h"
#include "results/rules/status_text.h"
#include "tests/support/recording_sink.h"

namespace karuneo::testing {

// The rows of a walk, each with its reason as karuneo-cli words it.
class ReasonSink final : public ResultSink {
  public:
    void AddResult(std::string_view name, RowStatus status) override {
        rows.emplace_back(name, StatusText(status));
    }
    void AddResultWithReason(std::string_view name, RowStatus status,
                             const RowReason& reason) override {
        AddResult(name, status);
        reasons.push_back(ReasonInEnglish(reason, name));
    }

    std::vector<Row> rows;
    std::vector<std::string> reasons;
};

}  // namespace karuneo::testing
