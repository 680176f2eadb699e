// Which source a picture is drawn from at a size, and the filter that fits it.
// Every expected value is worked out by hand in the comment beside it.
#include <gtest/gtest.h>

#include <vector>

#include "host/PictureScaling.h"

namespace fw {
namespace {

TEST(PictureScaling, ChoosesTheNearestSourceNotSmallerThanNeeded) {
  // A picture's 100/150/200 % variants, and the program icon's frames in file order.
  const std::vector<PixelSize> tiles = {{16, 16}, {24, 24}, {32, 32}};
  const std::vector<PixelSize> combo = {{17, 17}, {26, 26}, {34, 34}};
  const std::vector<PixelSize> frames = {{16, 16}, {24, 24}, {32, 32}, {36, 36},
                                         {48, 48}, {64, 64}, {72, 72}, {96, 96}};
  struct Case {
    const std::vector<PixelSize>* sources;
    PixelSize need;
    size_t chosen;
  };
  const Case kCases[] = {
      {&tiles, {16, 16}, 0},   // 96 dpi: its own size
      {&tiles, {20, 20}, 1},   // 120 dpi: 24 scaled down, not 16 scaled up
      {&tiles, {24, 24}, 1},   // 144 dpi: exact
      {&tiles, {25, 25}, 2},
      {&tiles, {32, 32}, 2},   // 192 dpi: exact
      {&tiles, {40, 40}, 2},   // beyond every source: the largest, scaled up
      {&tiles, {20, 30}, 2},   // both sides must fit: 24 is too short
      {&tiles, {1, 1}, 0},
      {&combo, {21, 21}, 1},   // 17 at 120 dpi is 21: from 26
      {&combo, {34, 34}, 2},
      {&frames, {20, 20}, 1},  // a 16-pixel icon at 120 dpi
      {&frames, {30, 30}, 2},
      {&frames, {40, 40}, 4},  // a 32-pixel icon at 120 dpi: 48, not 36
      {&frames, {64, 64}, 5},
      {&frames, {100, 100}, 7},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(ChooseSource(*c.sources, c.need), c.chosen)
        << "need " << c.need.width << " x " << c.need.height << " of " << c.sources->size();
  }
  const std::vector<PixelSize> twins = {{24, 24}, {24, 24}};
  EXPECT_EQ(ChooseSource(twins, {20, 20}), 0u) << "of equals, the first";
  EXPECT_EQ(ChooseSource({}, {16, 16}), 0u) << "nothing to choose: the list's size";
}

constexpr uint32_t Opaque(uint32_t blue) { return 0xFF000000u | blue; }

TEST(PictureScaling, ShrinksByAreaAndEnlargesByRepeatingPixels) {
  struct Case {
    const char* what;
    PixelSize from, to;
    std::vector<uint32_t> src, want;
  };
  const Case kCases[] = {
      {"halving averages pairs; 227.5 goes to the even 228", {4, 1}, {2, 1},
       {Opaque(0), Opaque(100), Opaque(200), Opaque(255)}, {Opaque(50), Opaque(228)}},
      {"2.5 goes to the even 2", {2, 1}, {1, 1}, {Opaque(2), Opaque(3)}, {Opaque(2)}},
      // Target pixel 0 covers source 0 whole and half of source 1: (0 + 45) / 1.5.
      {"3 to 2: (0 + 90 / 2) / 1.5 = 30, (90 / 2 + 180) / 1.5 = 150", {3, 1}, {2, 1},
       {Opaque(0), Opaque(90), Opaque(180)}, {Opaque(30), Opaque(150)}},
      {"a 2 x 2 block: (10 + 20 + 30 + 41) / 4 = 25.25", {2, 2}, {1, 1},
       {Opaque(10), Opaque(20), Opaque(30), Opaque(41)}, {Opaque(25)}},
      // Premultiplied: opaque red beside a clear pixel is half-covered red,
      // 127.5 -> 128 in alpha and red alike; no colour comes from the clear one.
      {"alpha averages with its colour", {2, 1}, {1, 1}, {0xFFFF0000u, 0x00000000u}, {0x80800000u}},
      // Enlarging repeats each pixel to the next whole multiple and shrinks that by area.
      {"2 to 4: each pixel twice, sharp blocks", {2, 1}, {4, 1}, {Opaque(0), Opaque(200)},
       {Opaque(0), Opaque(0), Opaque(200), Opaque(200)}},
      {"3 to 9: each pixel three times", {3, 1}, {9, 1}, {Opaque(10), Opaque(250), Opaque(10)},
       {Opaque(10), Opaque(10), Opaque(10), Opaque(250), Opaque(250), Opaque(250), Opaque(10),
        Opaque(10), Opaque(10)}},
      // 0 0 90 90 (x2) to 3: target i covers 4/3 of those: (0 * 2 + 90 * 2) / 4 in the middle.
      {"2 to 3: the middle is halfway", {2, 1}, {3, 1}, {Opaque(0), Opaque(90)},
       {Opaque(0), Opaque(45), Opaque(90)}},
      // 0 0 90 90 180 180 (x2) to 4, each target 1.5 of those: (90 * 1 + 180 * 0.5) / 1.5 = 120.
      {"3 to 4 (x1.33): 0, 60, 120, 180", {3, 1}, {4, 1}, {Opaque(0), Opaque(90), Opaque(180)},
       {Opaque(0), Opaque(60), Opaque(120), Opaque(180)}},
      // 120 dpi: x1.25. 255 255 0 0 255 255 0 0 (x2) to 5, each target 1.6 of those:
      // 255; (255 * 0.4) / 1.6 = 63.75; (255 * 0.8) / 1.6 = 127.5 -> 128;
      // (255 * 1.2) / 1.6 = 191.25; 0. Only where blocks meet is a pixel mixed.
      {"4 to 5 (x1.25): stripes stay stripes", {4, 1}, {5, 1},
       {Opaque(255), Opaque(0), Opaque(255), Opaque(0)},
       {Opaque(255), Opaque(64), Opaque(128), Opaque(191), Opaque(0)}},
      // 144 dpi: x1.5. 255 255 0 0 255 255 (x2) to 5, each target 1.2 of those: the
      // dark middle pixel stays black, its neighbours (255 * 0.8) / 1.2 = 170.
      {"3 to 5 (x1.67): a one-pixel dot keeps a black core", {3, 1}, {5, 1},
       {Opaque(255), Opaque(0), Opaque(255)},
       {Opaque(255), Opaque(170), Opaque(0), Opaque(170), Opaque(255)}},
      {"2 x 1 to 4 x 3: blocks on both axes", {2, 1}, {4, 3}, {Opaque(0), Opaque(200)},
       {Opaque(0), Opaque(0), Opaque(200), Opaque(200), Opaque(0), Opaque(0), Opaque(200), Opaque(200),
        Opaque(0), Opaque(0), Opaque(200), Opaque(200)}},
      {"narrower and taller at once: each axis its own filter", {4, 1}, {2, 2},
       {Opaque(0), Opaque(100), Opaque(200), Opaque(255)},
       {Opaque(50), Opaque(228), Opaque(50), Opaque(228)}},
      // A one-pixel line between two empty columns, 3 to 2: each target column
      // holds a third of it (255 / 3 = 85): fainter, never lost.
      {"a thin line survives", {3, 1}, {2, 1}, {Opaque(0), Opaque(255), Opaque(0)},
       {Opaque(85), Opaque(85)}},
      {"the same size is a copy", {2, 1}, {2, 1}, {0x12345678u, 0x9ABCDEF0u}, {0x12345678u, 0x9ABCDEF0u}},
  };
  for (const Case& c : kCases) {
    const std::vector<uint32_t> got = ResamplePbgra(c.src, c.from, c.to);
    ASSERT_EQ(got.size(), c.want.size()) << c.what;
    for (size_t k = 0; k < got.size(); ++k) {
      EXPECT_EQ(got[k], c.want[k]) << c.what << ", pixel " << k << ": 0x" << std::hex << got[k];
    }
  }
  EXPECT_TRUE(ResamplePbgra({}, {0, 0}, {2, 2}).empty());
  EXPECT_TRUE(ResamplePbgra(std::vector<uint32_t>{1}, {2, 2}, {1, 1}).empty()) << "too few pixels";
}

}  // namespace
}  // namespace fw
