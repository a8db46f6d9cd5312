#include "window/rules/twips.h"

#include <algorithm>
#include <cmath>

namespace karuneo {
namespace {

// Far more than any desktop spans, far less than an int can hold.
constexpr float kMaxPixels = 1.0e6f;

}  // namespace

float PixelsToTwips(int pixels) {
    return static_cast<float>(pixels) * kTwipsPerPixel;
}

int TwipsToPixels(float twips) {
    if (std::isnan(twips)) {
        return 0;
    }
    const float pixels = std::clamp(twips / kTwipsPerPixel, -kMaxPixels, kMaxPixels);
    return static_cast<int>(std::lround(pixels));
}

}  // namespace karuneo
