// The artwork of the pixel-mapped style (14): per look, the centre colour, the
// colours of the edge strips and the four corner maps. Generated data
// (tools/skbutton/make_pixel_art.py writes PixelMappedArt.cpp). Portable.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace fw::skbtn {

// One corner pixel. For the maps on the left x is the column; on the right the
// column is W - 17 + x (x = 17 is column W, outside the surface). For the top
// maps y is the row; for the bottom ones the row is H - y (y = 0 is row H).
struct ArtPixel {
  int8_t x;
  int8_t y;
  uint32_t colour;  // 0x00BBGGRR
};

enum CornerMap : int { CornerTopLeft = 0, CornerBottomLeft = 1, CornerTopRight = 2, CornerBottomRight = 3 };

struct PixelArt {
  uint32_t centre;
  std::array<uint32_t, 18> left;    // columns 0 .. 17
  std::array<uint32_t, 17> right;   // columns W - 17 .. W - 1
  std::array<uint32_t, 12> top;     // rows 0 .. 11
  std::array<uint32_t, 12> bottom;  // rows H - 11 .. H
  std::array<std::span<const ArtPixel>, 4> corners;  // in CornerMap order, the order they are set
};

// Normal, hot and pressed, indexed by the button state.
extern const std::array<PixelArt, 3> kPixelArt;

}  // namespace fw::skbtn
