// Any double must round to a neighbour within one half, ties to even, and never trap.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/Numeric.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < sizeof(double)) return 0;
  double v;
  std::memcpy(&v, data, sizeof v);
  const int32_t r = fw::RoundHalfEven(v);
  if (std::isfinite(v) && std::fabs(v) < 2e9) {
    const double diff = std::fabs(v - r);
    if (diff > 0.5) std::abort();
    if (diff == 0.5 && (r % 2) != 0) std::abort();
  }
  return 0;
}
