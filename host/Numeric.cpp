#include "host/Numeric.h"

#include <cmath>
#include <limits>

namespace fw {

int32_t RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  constexpr double kMin = std::numeric_limits<int32_t>::min();
  if (value >= kMax) return std::numeric_limits<int32_t>::max();
  if (value <= kMin) return std::numeric_limits<int32_t>::min();
  const double floor = std::floor(value);
  const double diff = value - floor;
  double result = floor;
  if (diff > 0.5) {
    result = floor + 1.0;
  } else if (diff == 0.5) {
    // A tie goes to the even neighbour.
    result = std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
  }
  return static_cast<int32_t>(result);
}

int32_t TwipsToPixels(int32_t twips, int32_t dpi) {
  if (dpi <= 0) dpi = 96;
  return RoundHalfEven(static_cast<double>(twips) * dpi / 1440.0);
}

int32_t PixelsToTwips(int32_t pixels, int32_t dpi) {
  if (dpi <= 0) dpi = 96;
  return RoundHalfEven(static_cast<double>(pixels) * 1440.0 / dpi);
}

int64_t ScaleToDpiExact(int32_t pixels, int32_t dpi) {
  if (dpi <= 0) dpi = 96;
  const int64_t product = static_cast<int64_t>(pixels) * dpi;
  // Half away from zero, as MulDiv rounds.
  return product >= 0 ? (product + 48) / 96 : -((-product + 48) / 96);
}

int32_t ScaleToDpi(int32_t pixels, int32_t dpi) {
  const int64_t scaled = ScaleToDpiExact(pixels, dpi);
  if (scaled > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (scaled < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(scaled);
}

}  // namespace fw
