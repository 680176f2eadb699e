// Where a 96-dpi place lands on the device. Every expected value is worked out
// by hand in the comment beside it (ScaleToDpi rounds halves away from zero).
#include <gtest/gtest.h>

#include <utility>

#include "host/DesignGrid.h"

namespace fw {
namespace {

TEST(DesignGrid, DesignLengthRoundsToTheNearest96DpiPixel) {
  struct Case {
    int device, dpi, design;
  } const kCases[] = {
      {37, 96, 37},    // one to one
      {37, 0, 37},     // no dpi: 96
      {150, 144, 100}, // 150 / 1.5
      {151, 144, 101}, // 100.67
      {21, 120, 17},   // 16.8
      {3, 192, 2},     // 1.5, half up
      {101, 192, 51},  // 50.5, half up
      {0, 144, 0},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(DesignLength(c.device, c.dpi), c.design) << c.device << " at " << c.dpi;
  }
}

TEST(DesignGrid, PlacesOfTheFarHalfKeepTheirDistanceFromTheFarSide) {
  struct Case {
    int device, dpi, v, place;
  } const kCases[] = {
      {37, 96, 30, 30},   // 96 dpi: every place is itself
      {75, 144, 0, 0},    // 50 design pixels over 75
      {75, 144, 1, 2},    // 1.5 -> 2
      {75, 144, 25, 38},  // the middle belongs to the near half: 37.5 -> 38
      {75, 144, 26, 39},  // 24 from the far side: 75 - 36
      {75, 144, 49, 73},  // 1 from the far side: 75 - 2
      {75, 144, 50, 75},  // the far side itself
      {101, 192, 25, 50}, // 51 design pixels: 25 is near
      {101, 192, 26, 51}, // 25 from the far side: 101 - 50
      {101, 192, 50, 99}, // 101 - 2
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(DesignAxis::Over(c.device, c.dpi).Place(c.v), c.place)
        << c.v << " on " << c.device << " at " << c.dpi;
  }
}

TEST(DesignGrid, APixelIsAtLeastOneScaledPixelWideGrownAwayFromItsSide) {
  using Span = std::pair<int32_t, int32_t>;
  struct Case {
    int device, dpi, v;
    Span pixel;
  } const kCases[] = {
      {37, 96, 36, {36, 37}},
      {75, 144, 0, {0, 2}},    // 0 .. 1.5 -> 2
      {75, 144, 1, {2, 4}},    // 2 .. 3 is one pixel: grown right to 2
      {75, 144, 49, {73, 75}},
      {75, 144, 48, {71, 73}}, // 72 .. 73 grown left to 2
      {101, 192, 25, {50, 52}},// 50 .. 51 where the halves meet: grown right
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(DesignAxis::Over(c.device, c.dpi).Pixel(c.v), c.pixel)
        << c.v << " on " << c.device << " at " << c.dpi;
  }
}

TEST(DesignGrid, AnOpenAxisCountsEveryPlaceFromItsNearSide) {
  const DesignAxis at120 = DesignAxis::Open(120);
  EXPECT_EQ(at120.Place(3), 4);     // 3.75
  EXPECT_EQ(at120.Place(10), 13);   // 12.5, half away from zero
  EXPECT_EQ(at120.Place(-2), -3);   // -2.5
  EXPECT_EQ(at120.Pixel(2), (std::pair<int32_t, int32_t>{3, 4}));  // 2.5 .. 3.75, 1 wide at 120
  const DesignAxis at144 = DesignAxis::Open(144);
  EXPECT_EQ(at144.Place(500), 750);  // no far side to count from
  EXPECT_EQ(at144.Pixel(1), (std::pair<int32_t, int32_t>{2, 4}));  // 1.5 .. 3 grown to 2
}

}  // namespace
}  // namespace fw
