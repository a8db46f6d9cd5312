#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/result_sink.h"
#include "results/rules/status_text.h"

namespace karuneo::testing {

using Row = std::pair<std::string, std::string>;

class RecordingSink final : public ResultSink {
  public:
    void AddResult(std::string_view name, RowStatus status) override {
        rows.emplace_back(name, StatusText(status));
    }

    std::vector<Row> rows;
};

}  // namespace karuneo::testing
