// How a picture is fitted to a size other than its own: which of its sources
// (an icon's frames, a picture's 100/150/200 % variants) to start from, and
// the filter that resamples it. Portable: no platform header.
//
// Pixels are 32-bit premultiplied BGRA (blue in the low byte, alpha in the
// high byte), the layout the platform's alpha blending takes, so averaging
// never bleeds the colour of a transparent pixel into its neighbours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace fw {

struct PixelSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// The source to draw at `need`: the smallest (by area, the first of equals)
// that is at least as wide and as tall, so a picture is only ever scaled
// down; when none is, the largest, which must then be scaled up. Returns
// sources.size() for an empty list.
size_t ChooseSource(std::span<const PixelSize> sources, PixelSize need);

// `src` (width x height premultiplied BGRA, rows top-down, no padding)
// resampled to `to`. Each axis on its own: shrinking averages the source
// pixels each target pixel covers, weighted by how much of each it covers
// (area averaging, so a one-pixel line becomes a fainter line, never a
// missing one); enlarging repeats each source pixel the smallest whole number
// of times that reaches the size and averages that down by area, so a whole
// multiple gives sharp blocks and any other size mixes only the pixels where
// blocks meet (pixel text stays crisp). Fractions become channel values by
// rounding half to even. The same size returns the
// pixels unchanged. An empty source or target gives an empty result.
std::vector<uint32_t> ResamplePbgra(std::span<const uint32_t> src, PixelSize from, PixelSize to);

}  // namespace fw
