#pragma once

#include <functional>

namespace karuneo::bench {

struct Measured {
    double seconds = 0;
    long peak_kib = 0;  // the child's maximum resident set
    bool ok = false;
};

// Runs `work` in a forked child so that each contender's peak memory is its
// own; the time covers fork to exit, the same start-up cost for everyone.
Measured RunInChild(const std::function<bool()>& work);

}  // namespace karuneo::bench
