#pragma once

namespace karuneo {

// A twip is 1/1440 inch whatever the screen; a native window measures in
// device pixels at its monitor's dots per inch, so at 150 % (144 DPI) one
// pixel is 10 twips, not the 15 of a 96 DPI screen.
inline constexpr int kTwipsPerInch = 1440;

float PixelsToTwipsAt(int pixels, int dpi);

// Rounds to the nearest pixel; values far beyond any screen, as a damaged
// settings store may hold, are clamped so that the conversion stays defined.
int TwipsToPixelsAt(float twips, int dpi);

}  // namespace karuneo
