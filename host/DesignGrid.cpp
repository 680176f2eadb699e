#include "host/DesignGrid.h"

#include "host/Numeric.h"

namespace fw {

int32_t DesignLength(int32_t device, int32_t dpi) {
  if (dpi <= 0 || dpi == 96) return device;
  return static_cast<int32_t>((static_cast<int64_t>(device) * 96 + dpi / 2) / dpi);
}

DesignAxis DesignAxis::Open(int32_t dpi) { return DesignAxis(dpi > 0 ? dpi : 96, 0, 0, true); }

DesignAxis DesignAxis::Over(int32_t device, int32_t dpi) {
  if (dpi <= 0) dpi = 96;
  return DesignAxis(dpi, DesignLength(device, dpi), device, false);
}

int32_t DesignAxis::Place(int32_t v) const {
  return NearHalf(v) ? ScaleToDpi(v, dpi_) : device_ - ScaleToDpi(design_ - v, dpi_);
}

std::pair<int32_t, int32_t> DesignAxis::Pixel(int32_t v) const {
  int32_t from = Place(v);
  int32_t to = Place(v + 1);
  const int32_t least = ScaleToDpi(1, dpi_);
  if (to - from < least) {
    // The near half grows towards the far side, the far half towards the near one.
    if (open_ || 2 * static_cast<int64_t>(v) < design_) to = from + least;
    else from = to - least;
  }
  return {from, to};
}

}  // namespace fw
