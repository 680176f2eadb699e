#include <gtest/gtest.h>

#include <limits>

#include "host/Numeric.h"

namespace fw {
namespace {

TEST(RoundHalfEvenTest, TiesGoToTheEvenNeighbour) {
  const struct { double in; int32_t out; } cases[] = {
      {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
      {254.5, 254}, {255.5, 256},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(RoundHalfEvenTest, NonTiesGoToTheNearest) {
  EXPECT_EQ(RoundHalfEven(2.4999999), 2);
  EXPECT_EQ(RoundHalfEven(2.5000001), 3);
  EXPECT_EQ(RoundHalfEven(-2.6), -3);
  EXPECT_EQ(RoundHalfEven(-0.4), 0);
  EXPECT_EQ(RoundHalfEven(7.0), 7);
}

TEST(RoundHalfEvenTest, OutOfRangeSaturatesAndNanIsZero) {
  EXPECT_EQ(RoundHalfEven(1e300), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundHalfEven(-1e300), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(HalveTowardZeroTest, TruncatesTowardZero) {
  EXPECT_EQ(HalveTowardZero(7), 3);
  EXPECT_EQ(HalveTowardZero(-7), -3);
  EXPECT_EQ(HalveTowardZero(-1), 0);
}

TEST(TwipsTest, FifteenTwipsPerPixelAt96Dpi) {
  EXPECT_EQ(TwipsToPixels(6420, 96), 428);
  EXPECT_EQ(TwipsToPixels(3015, 96), 201);
  EXPECT_EQ(TwipsToPixels(4110, 96), 274);
  EXPECT_EQ(PixelsToTwips(201, 96), 3015);
  // 120 dpi: 12 twips per pixel; 7.5 px rounds to the even 8, 6.5 to 6.
  EXPECT_EQ(TwipsToPixels(90, 120), 8);
  EXPECT_EQ(TwipsToPixels(78, 120), 6);
}

// Worked by hand: pixels * dpi / 96, halves away from zero.
TEST(ScaleToDpiTest, DesignPixelsAtEachScale) {
  struct Row { int32_t pixels, dpi, expected; };
  const Row rows[] = {
      {1, 96, 1},   {13, 96, 13},  {1, 120, 1},  {2, 120, 3},  {3, 120, 4},
      {1, 144, 2},  {3, 144, 5},   {22, 144, 33}, {1, 192, 2},  {22, 192, 44},
      {-1, 144, -2}, {-3, 120, -4}, {0, 192, 0},  {5, 0, 5},    {2000000000, 192, std::numeric_limits<int32_t>::max()},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ScaleToDpi(r.pixels, r.dpi), r.expected) << r.pixels << " px at " << r.dpi;
  }
}

// The same rounding, unsaturated, for values that must be checked.
TEST(ScaleToDpiTest, ExactValuesBeyond32Bits) {
  struct Row { int32_t pixels, dpi; int64_t expected; };
  const Row rows[] = {
      {1, 144, 2}, {3, 120, 4}, {-3, 120, -4}, {5, 0, 5}, {1500000000, 192, 3000000000},
      {2147483647, 240, 5368709118}, {-2147483647 - 1, 192, -4294967296}, {1073741823, 144, 1610612735},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ScaleToDpiExact(r.pixels, r.dpi), r.expected) << r.pixels << " px at " << r.dpi;
  }
}

}  // namespace
}  // namespace fw
