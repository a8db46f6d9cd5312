#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/result_sink.h"

namespace karuneo::testing {

using Row = std::pair<std::string, std::string>;

class RecordingSink final : public ResultSink {
  public:
    void AddResult(std::string_view name, std::string_view status) override {
        rows.emplace_back(name, status);
    }

    std::vector<Row> rows;
};

}  // namespace karuneo::testing
