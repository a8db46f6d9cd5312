#pragma once

#include <string_view>

namespace karuneo {

// Where the walk reports its outcome rows. Names are the bytes stored on disk
// and need not be valid UTF-8; a sink that displays them must decide how.
class ResultSink {
  public:
    virtual ~ResultSink() = default;
    virtual void AddResult(std::string_view name, std::string_view status) = 0;
};

}  // namespace karuneo
