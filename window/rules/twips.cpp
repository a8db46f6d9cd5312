#include "window/rules/twips.h"

#include <algorithm>
#include <cmath>

namespace karuneo {
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
