#include "tests/engine/extract/extract_test_harness.h"

#include <gtest/gtest.h>

#include <sstream>

#include "engine/native_file_system.h"
#include "tests/support/reason_sink.h"

namespace karuneo::testing {

ExtractedRow Extract(const std::string& path, bool dry_run,
                     const extract::ExtractOptions& options) {
    const auto fs = MakeNativeFileSystem();
    ReasonSink sink;
    std::ostringstream changes;
    extract::ExtractOptions given = options;
    given.dry_run = dry_run;
    given.changes = &changes;
    extract::ExtractArchive(path, *fs, sink, given);
    EXPECT_EQ(sink.rows.size(), 1u);
    if (sink.rows.empty()) {
        return {};
    }
    return {sink.rows[0].first, sink.rows[0].second,
            sink.reasons.empty() ? std::string() : sink.reasons[0]};
}

}  // namespace karuneo::testing
