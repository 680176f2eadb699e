// Whole-number conversion used wherever a fraction (a size, a ratio, a colour
// channel) becomes an integer. Portable: no platform header.
#pragma once

#include <cstdint>

namespace fw {

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Values beyond the 32-bit range saturate and NaN gives 0, so a wild ratio can
// never become undefined behaviour in a caller's arithmetic.
int32_t RoundHalfEven(double value);

// Halving a whole number by integer division truncates toward zero (-7 -> -3).
constexpr int32_t HalveTowardZero(int32_t value) { return value / 2; }

// Twips are 1/1440 inch; twips per pixel = 1440 / dpi (15 at 96 dpi).
int32_t TwipsToPixels(int32_t twips, int32_t dpi);
int32_t PixelsToTwips(int32_t pixels, int32_t dpi);

// What is `pixels` at 96 dpi, at `dpi`: pixels * dpi / 96 rounded half away from
// zero (the platform's MulDiv), so 1 pixel is 1 at 120 dpi, 2 at 144 and 192.
// The drawing of every control is designed at 96 dpi and scaled by this one
// rule, so a look at 200 % is its 100 % look drawn twice as large. Saturates
// beyond the 32-bit range; a dpi of 0 or less counts as 96.
int32_t ScaleToDpi(int32_t pixels, int32_t dpi);
// The same rounding without the saturation: for a value the user gave, whose
// scaled size has to be checked against the 32-bit range rather than cut to it.
int64_t ScaleToDpiExact(int32_t pixels, int32_t dpi);

}  // namespace fw
