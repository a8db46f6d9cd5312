#include "window/rules/device_pixels.h"

#include <cmath>

namespace karuneo {
namespace {

// The smallest number of pixels whose device length is whole: 1 at whole
// scales, 2 at 1.5, 4 at 1.25 and 1.75; 1 for a scale no step of up to eight
// makes whole.
int WholeStep(double ratio) {
    constexpr int kLargestStep = 8;
    for (int step = 1; step <= kLargestStep; ++step) {
        const double device = step * ratio;
        if (std::abs(device - std::round(device)) < 1e-6) {
            return step;
        }
    }
    return 1;
}

}  // namespace

int LengthWithWholeInnerEdge(int length, int border, double device_pixel_ratio) {
    const int inner_edge = length - border;
    if (inner_edge <= 0 || !(device_pixel_ratio > 0)) {
        return length;
    }
    return inner_edge - inner_edge % WholeStep(device_pixel_ratio) + border;
}

}  // namespace karuneo
