#pragma once

#include <string_view>

#include "engine/reason/row_reason.h"
#include "engine/result_sink.h"
#include "engine/row_status.h"

namespace karuneo::extract {

// Keeps the row of an un-nesting run, which becomes part of the archive's
// own row instead of a row of its own.
class CapturedRow final : public ResultSink {
  public:
    void AddResult(std::string_view name, RowStatus row_status) override {
        AddResultWithReason(name, row_status, RowReason{});
    }
    void AddResultWithReason(std::string_view /*name*/, RowStatus row_status,
                             const RowReason& row_reason) override {
        given = true;
        status = row_status;
        reason = row_reason;
    }

    bool given = false;
    RowStatus status = RowStatus::kError;
    RowReason reason;
};

}  // namespace karuneo::extract
