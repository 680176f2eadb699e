// Where a drawing designed at 96 dpi lands on a device at another dpi, one axis
// at a time. Portable: no platform header.
//
// A 96-dpi pixel v is the block from ScaleToDpi(v) to ScaleToDpi(v + 1) counted
// from the axis's near side (left, top). An axis that knows its far side too
// (a control's whole width, say) measures the places of its far half from
// there instead: device - ScaleToDpi(design - v). So a line drawn one pixel in
// from the right stays against the right side however the width rounds.
#pragma once

#include <cstdint>
#include <utility>

namespace fw {

// The length at 96 dpi of `device` pixels at `dpi`, rounded to the nearest
// (halves up); a dpi of 96, 0 or less gives `device` itself.
int32_t DesignLength(int32_t device, int32_t dpi);

class DesignAxis {
 public:
  // An axis with no far side: every place from the near side.
  static DesignAxis Open(int32_t dpi);
  // An axis of `device` pixels, DesignLength(device) long at 96 dpi.
  static DesignAxis Over(int32_t device, int32_t dpi);

  // The device line of the 96-dpi line `v`.
  int32_t Place(int32_t v) const;
  // The device pixels [first, second) of the 96-dpi pixel `v`: from Place(v) to
  // Place(v + 1), at least ScaleToDpi(1) wide, grown away from the side `v` is
  // measured from (two such pixels can meet where the halves do; the later
  // drawing wins, as at 96 dpi).
  std::pair<int32_t, int32_t> Pixel(int32_t v) const;

  int32_t Dpi() const { return dpi_; }
  // The axis's length at 96 dpi and on the device (0 for an open axis).
  int32_t Design() const { return design_; }
  int32_t Device() const { return device_; }

 private:
  DesignAxis(int32_t dpi, int32_t design, int32_t device, bool open)
      : dpi_(dpi), design_(design), device_(device), open_(open) {}
  bool NearHalf(int32_t v) const { return open_ || 2 * static_cast<int64_t>(v) <= design_; }

  int32_t dpi_;
  int32_t design_;
  int32_t device_;
  bool open_;
};

}  // namespace fw
