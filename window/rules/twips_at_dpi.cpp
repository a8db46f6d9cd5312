#include "window/rules/twips_at_dpi.h"

#include <algorithm>
#include <cmath>

#include "window/rules/twips.h"

namespace karuneo {
namespace {

// A DPI of 0 or less would divide by nothing; such a report means "unknown".
float TwipsPerPixel(int dpi) {
    constexpr int kDefaultDpi = 96;
    return static_cast<float>(kTwipsPerInch) / static_cast<float>(dpi > 0 ? dpi : kDefaultDpi);
}

}  // namespace

float PixelsToTwipsAt(int pixels, int dpi) {
    return static_cast<float>(pixels) * TwipsPerPixel(dpi);
}

int TwipsToPixelsAt(float twips, int dpi) {
    if (std::isnan(twips)) {
        return 0;
    }
    const float pixels = std::clamp(twips / TwipsPerPixel(dpi), -kMaxPixels, kMaxPixels);
    return static_cast<int>(std::lround(pixels));
}

}  // namespace karuneo
