#pragma once

namespace karuneo {

// Window geometry is kept in twips, as it is stored in the settings and as the
// layout margins are given; Qt works in device-independent pixels, and every
// conversion between the two goes through here (a native Win32 window, in
// device pixels, uses twips_at_dpi.h).
inline constexpr float kTwipsPerPixel = 15.0f;  // 1440 twips per inch / 96 pixels

// Far more than any desktop spans, far less than an int can hold: conversions
// to pixels clamp to it.
inline constexpr float kMaxPixels = 1.0e6f;

float PixelsToTwips(int pixels);

// Rounds to the nearest pixel. Values far beyond any screen, as a damaged
// settings store may hold, are clamped so that the conversion stays defined.
int TwipsToPixels(float twips);

}  // namespace karuneo
