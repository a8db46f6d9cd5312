#pragma once

#include <string_view>

#include "engine/reason/row_reason.h"
#include "engine/row_status.h"

namespace karuneo {

// Where the walk reports its outcome rows. Names are the bytes stored on disk
// and need not be valid UTF-8; a sink that displays them must decide how.
class ResultSink {
  public:
    virtual ~ResultSink() = default;
    virtual void AddResult(std::string_view name, RowStatus status) = 0;

    // The walk gives every row here, with why it reads as it does (nothing
    // for a plain "完了"). A sink that shows no reasons keeps this default.
    virtual void AddResultWithReason(std::string_view name, RowStatus status,
                                     const RowReason& reason) {
        (void)reason;
        AddResult(name, status);
    }

    // The same for a row whose path may be an archive's; the walk's own rows
    // are all of folders. A sink that labels no path keeps this default.
    virtual void AddResultOfKind(std::string_view name, RowStatus status, const RowReason& reason,
                                 RowKind kind) {
        (void)kind;
        AddResultWithReason(name, status, reason);
    }
};

}  // namespace karuneo
