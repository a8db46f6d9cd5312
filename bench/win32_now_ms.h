#pragma once

#include <windows.h>

namespace karuneo::bench {

// Milliseconds on the performance counter, for the Windows benchmarks.
inline double NowMs() {
    static const double ticks_per_ms = [] {
        LARGE_INTEGER frequency{};
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticks_per_ms;
}

}  // namespace karuneo::bench
